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

namespace {

struct DialogSearch {
    DWORD processId;
    HWND dialog;
};

BOOL CALLBACK findShowDialog(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    // The show dialog is the process's visible dialog; its touch window stays hidden.
    if (owner == search->processId && std::string(className) == "#32770" && IsWindowVisible(hwnd)) {
        search->dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

ULONGLONG processCpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (ticks(kernel) + ticks(user)) / 10000;
}

struct ShowRun {
    const char* name;
    std::string program;
    const char* arguments;
};

// The engine report reads no configuration; the sample show reads the configuration in its
// own trailer. Either show creates the dialog, idles in its loop without taking processor
// time and ends when the dialog is asked to close.
class ShowRunTest : public ::testing::TestWithParam<ShowRun> {};

TEST_P(ShowRunTest, IdlesAndEndsOnClose)
{
    Program program(GetParam().arguments, GetParam().program);
    ASSERT_TRUE(program.started);
    DialogSearch search{program.info.dwProcessId, nullptr};
    for (DWORD start = GetTickCount(); !search.dialog && GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        waitPumping(program.info.hProcess, 50, nullptr);
        EnumWindows(findShowDialog, reinterpret_cast<LPARAM>(&search));
    }
    ASSERT_NE(search.dialog, nullptr);

    waitPumping(program.info.hProcess, 500, nullptr);
    const ULONGLONG cpuBefore = processCpuMs(program.info.hProcess);
    if (waitPumping(program.info.hProcess, 1500, nullptr)) {
        // The second loss of activation ends a show: other tests' windows can do that.
        EXPECT_EQ(program.exitCode(), 0u);
        GTEST_SKIP() << "the show lost its activation twice and ended by itself";
    }
    // A loop that spun would take about all of the 1.5 s.
    EXPECT_LT(processCpuMs(program.info.hProcess) - cpuBefore, 500u);

    PostMessageA(search.dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitPumping(program.info.hProcess, PROGRAM_TIME_LIMIT_MS, nullptr));
    EXPECT_EQ(program.exitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Shows, ShowRunTest,
                         ::testing::Values(ShowRun{"EngineReport", programPath(), "/engine /s"},
                                           ShowRun{"SampleShow", QVEDGE_SAMPLE_SCR, "/s"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
