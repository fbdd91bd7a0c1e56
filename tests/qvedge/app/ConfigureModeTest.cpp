#include "qvedge/app/ConfigureMode.h"

#include "common/ProgramBaseName.h"
#include "framework/Win.h"
#include "qvedge/app/QuorvelConfDialog.h"
#include "qvedge/app/QuorvelEdge.h"
#include "tests/qvedge/support/PackageOpener.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string packageFolder()
{
    char commonData[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, commonData);
    return std::string(commonData) + "\\Quorvel";
}

std::string itemText(HWND dialog, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The About dialog seen from inside its modal loop, then closed with OK.
struct AboutSeen {
    bool found = false;
    std::string programName;
    std::string copyright;
    HWND parent = nullptr;
};
AboutSeen aboutSeen;

// Tests run side by side: only this thread's dialog is ours.
BOOL CALLBACK findAbout(HWND hwnd, LPARAM found)
{
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (std::string(caption) != "About screensaver")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void CALLBACK closeAbout(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND about = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findAbout, reinterpret_cast<LPARAM>(&about));
    if (!about)
        return;
    KillTimer(nullptr, timer);
    aboutSeen.found = true;
    aboutSeen.programName = itemText(about, IDC_PROGRAM_NAME);
    aboutSeen.copyright = itemText(about, IDC_COPYRIGHT);
    aboutSeen.parent = GetParent(about);
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

class AboutBranchTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AboutBranchTest, ShowsTheAboutDialogAndEndsTheStartUp)
{
    theApp.config.author = "Jane Roe";
    SetTimer(nullptr, 0, 50, closeAbout);
    EXPECT_EQ(runConfigureMode(GetParam()), 0);
    EXPECT_TRUE(aboutSeen.found);
    EXPECT_EQ(aboutSeen.programName, getProgramBaseName().str());
    EXPECT_EQ(aboutSeen.copyright, "Copyright (c) Jane Roe");
    EXPECT_EQ(aboutSeen.parent, nullptr);
}

// Only the product's own name, letter for letter, opens the package.
INSTANTIATE_TEST_SUITE_P(Names, AboutBranchTest, ::testing::Values("quorvel", "QUORVEL", "Quorvel2", "qvedge", ""),
                         [](const auto& info) { return info.index == 4 ? std::string("Empty") : std::string(info.param); });

TEST(QuorvelConfDialogTest, TemplateIsAsTabled)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_ABOUTBOX), reinterpret_cast<LPCSTR>(RT_DIALOG));
    ASSERT_NE(found, nullptr);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_EQ(words[0], 1);       // extended template
    ASSERT_EQ(words[1], 0xFFFF);
    DWORD exStyle, style;
    memcpy(&exStyle, words + 4, sizeof exStyle);
    memcpy(&style, words + 6, sizeof style);
    EXPECT_EQ(style, 0x90C8084Cu);
    EXPECT_EQ(exStyle, 0u);
    EXPECT_EQ(words[8], 4);  // controls
    EXPECT_EQ(words[11], 234);
    EXPECT_EQ(words[12], 78);
}

TEST(QuorvelConfDialogTest, InitialisationFillsNameAuthorAndIcon)
{
    CQuorvelConfDialog dialog;
    ASSERT_TRUE(dialog.Create(CQuorvelConfDialog::IDD));
    char caption[64] = {};
    GetWindowTextA(dialog.m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "About screensaver");
    // No author in the configuration: the prefix alone.
    EXPECT_EQ(itemText(dialog.m_hWnd, IDC_COPYRIGHT), "Copyright (c) ");
    EXPECT_EQ(itemText(dialog.m_hWnd, IDC_PROGRAM_NAME), "test_qvedge");
    EXPECT_NE(SendMessageA(dialog.m_hWnd, WM_GETICON, ICON_BIG, 0), 0);

    struct ControlCase {
        int id;
        const char* className;
        DWORD style;
    };
    for (const ControlCase& c : {ControlCase{IDC_PROGRAM_NAME, "Static", WS_GROUP | SS_NOPREFIX},
                                 ControlCase{IDC_COPYRIGHT, "Static", WS_GROUP | SS_NOPREFIX},
                                 ControlCase{IDOK, "Button", WS_TABSTOP | BS_DEFPUSHBUTTON},
                                 ControlCase{-1, "Static", SS_ICON | SS_NOTIFY}}) {
        HWND control = GetDlgItem(dialog.m_hWnd, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        char className[32] = {};
        GetClassNameA(control, className, sizeof className);
        EXPECT_STRCASEEQ(className, c.className);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & (c.style | WS_CHILD | WS_VISIBLE), c.style | WS_CHILD | WS_VISIBLE) << c.id;
    }
    EXPECT_NE(SendDlgItemMessageA(dialog.m_hWnd, -1, STM_GETICON, 0, 0), 0);
}

// The shell's own message box about a package it cannot open, closed once it is shown.
BOOL CALLBACK closeShellBox(HWND hwnd, LPARAM closed)
{
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    *reinterpret_cast<bool*>(closed) = true;
    return FALSE;
}

void CALLBACK closeTheShellsBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    bool closed = false;
    EnumThreadWindows(GetCurrentThreadId(), closeShellBox, reinterpret_cast<LPARAM>(&closed));
    if (closed)
        KillTimer(nullptr, timer);
}

// The cases share the one package folder of the machine, so they take turns.
class PackageBranchTest : public ::testing::Test {
protected:
    PackageBranchTest() : turn(CreateMutexA(nullptr, FALSE, "QuorvelPackageFolder")) {}
    ~PackageBranchTest() override
    {
        if (turn) {
            ReleaseMutex(turn);
            CloseHandle(turn);
        }
    }

    void SetUp() override
    {
        ASSERT_NE(turn, nullptr);
        ASSERT_NE(WaitForSingleObject(turn, 60000), WAIT_TIMEOUT);
        ASSERT_TRUE(associatePackageOpener());
        package = packageFolder() + "\\Quorvel.qvx";
        std::remove((package + ".opened").c_str());
    }

    void writePackage() const
    {
        CreateDirectoryA(packageFolder().c_str(), nullptr);
        HANDLE file = CreateFileA(package.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }

    std::string package;
    HANDLE turn;
};

// The sub-folder exists already: nothing is created, the package opens. (A missing package
// makes the shell show its own message box, which would hold the test.)
TEST_F(PackageBranchTest, OpensThePackageWithItsProgramAndWaitsForIt)
{
    writePackage();
    EXPECT_EQ(runConfigureMode("Quorvel"), 1);
    // Written by the opener just before it ends, so only a waiting caller sees it here.
    EXPECT_EQ(openedWith(package), package);
}

// Without its folder there is no package yet: the folder is made, and the shell reports
// the missing package in a box of its own.
TEST_F(PackageBranchTest, MakesTheMissingFolder)
{
    std::remove(package.c_str());
    ASSERT_TRUE(RemoveDirectoryA(packageFolder().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, closeTheShellsBox);
    EXPECT_EQ(runConfigureMode("Quorvel"), 1);
    KillTimer(nullptr, closer);
    const DWORD attributes = GetFileAttributesA(packageFolder().c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(openedWith(package), "");
}

} // namespace
