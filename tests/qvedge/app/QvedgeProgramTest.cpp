// Runs the built qvedge.scr itself under Wine.
#include "framework/Win.h"
#include "tests/qvedge/support/ProgramRun.h"
#include "tests/qvedge/support/ProgramWorkspace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(QvedgeProgramTest, EngineWordAloneShowsNothingAndEnds)
{
    Program program("/engine");
    ASSERT_TRUE(program.started) << programPath();
    bool shown = false;
    ASSERT_TRUE(waitPumping(program, PROGRAM_TIME_LIMIT_MS, &shown));
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_FALSE(shown);
}

bool isDialog(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

ULONGLONG processCpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (ticks(kernel) + ticks(user)) / 10000;
}

// The bundled sample configuration document.
std::string sampleDocument()
{
    std::ifstream in(windowsPath(QV_SAMPLE_XML), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Test runs ("config"), so that other tests' windows taking the activation away during
// the grace period do not end the show. The engine report reads no configuration; the
// sample show reads the bundled sample. Either show creates its dialog, idles in its loop
// without taking processor time and ends when the dialog is asked to close.
class ShowRunTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ShowRunTest, IdlesAndEndsOnClose)
{
    ProgramWorkspace workspace;
    std::string arguments = "/engine /config /s";
    if (std::string(GetParam()) == "SampleShow") {
        const std::string sample = workspace.package("sample.qvx", sampleDocument());
        ASSERT_FALSE(sample.empty());
        arguments = "/config " + quoted(sample);
    }
    Program program(arguments);
    ASSERT_TRUE(program.started);
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        waitPumping(program, 50);
        dialog = findShownWindow(program.info.dwProcessId, isDialog);
    }
    ASSERT_NE(dialog, nullptr);

    waitPumping(program, 500);
    const ULONGLONG cpuBefore = processCpuMs(program.info.hProcess);
    ASSERT_FALSE(waitPumping(program, 1500)) << "the show ended by itself";
    // A loop that spun would take about all of the 1.5 s.
    EXPECT_LT(processCpuMs(program.info.hProcess) - cpuBefore, 500u);

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitPumping(program, PROGRAM_TIME_LIMIT_MS));
    EXPECT_EQ(program.exitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Shows, ShowRunTest, ::testing::Values("EngineReport", "SampleShow"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
