#include "framework/CWinApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CWinAppTest, OneApplicationObjectIsCurrent)
{
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        CWinApp app;
        EXPECT_EQ(AfxGetApp(), &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(CWinAppTest, RunLoopsUntilQuitAndExitsWithItsCode)
{
    CWinApp app;
    PostQuitMessage(3);
    EXPECT_EQ(app.Run(), 3);
}

TEST(CWinAppTest, ExitCodeIsZeroWhenNoLoopRan)
{
    CWinApp app;
    EXPECT_EQ(app.ExitInstance(), 0);
}

class RecordingInfo : public CCommandLineInfo {
public:
    void ParseParam(const char* param, BOOL flag, BOOL last) override
    {
        words += std::string(flag ? "flag:" : "value:") + param + (last ? ";last" : ";");
    }
    std::string words;
};

TEST(CWinAppTest, ParseCommandLineHandsOverTheArgumentsAfterTheProgramName)
{
    char program[] = "qvedge.scr";
    char show[] = "/s";
    char handle[] = "1234";
    char* arguments[] = {program, show, handle, nullptr};
    __argc = 3;
    __argv = arguments;
    CWinApp app;
    RecordingInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.words, "flag:s;value:1234;last");
}

TEST(CWinAppTest, NamedApplicationKeepsItsName)
{
    CWinApp app("Named");
    app.SetCurrentHandles(GetModuleHandleA(nullptr));
    EXPECT_STREQ(app.m_pszAppName, "Named");
}

} // namespace
