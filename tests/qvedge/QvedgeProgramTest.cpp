// Runs the built qvedge.scr itself under Wine.
#include "ProgramRun.h"
#include "Win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD PROGRAM_TIME_LIMIT_MS = 30000;

// Pumps this thread's messages while it waits: a preview child sends its parent messages.
// shown, when given, is set once the program shows a window.
bool waitPumping(const Program& program, DWORD limitMs, bool* shown = nullptr)
{
    HANDLE process = program.info.hProcess;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        if (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (shown && findShownWindow(program.info.dwProcessId))
            *shown = true;
    }
    return false;
}

TEST(QvedgeProgramTest, EngineWordAloneShowsNothingAndEnds)
{
    Program program("/engine");
    ASSERT_TRUE(program.started) << programPath();
    bool shown = false;
    ASSERT_TRUE(waitPumping(program, PROGRAM_TIME_LIMIT_MS, &shown));
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_FALSE(shown);
}

// The engine word skips the configuration, so the preview needs nothing else.
TEST(QvedgeProgramTest, PreviewLivesInTheGivenWindowAndEndsWithIt)
{
    HWND parent = CreateWindowExA(0, "STATIC", "settings", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    Program program("/engine /p " + std::to_string(reinterpret_cast<INT_PTR>(parent)));
    ASSERT_TRUE(program.started);

    HWND child = nullptr;
    const DWORD start = GetTickCount();
    while (!child && GetTickCount() - start < PROGRAM_TIME_LIMIT_MS) {
        waitPumping(program, 50);
        child = GetWindow(parent, GW_CHILD);
    }
    ASSERT_NE(child, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    EXPECT_EQ(owner, program.info.dwProcessId);
    RECT rect;
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.right - rect.left, 152);
    EXPECT_EQ(rect.bottom - rect.top, 112);
    // The program paints its child itself; its pixels are not visible from here.
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(waitPumping(program, 500)) << "ended while painting";

    DestroyWindow(parent);
    ASSERT_TRUE(waitPumping(program, PROGRAM_TIME_LIMIT_MS));
    EXPECT_EQ(program.exitCode(), 0u);
}

} // namespace
