#include "qvedge/display/QuorvelDlg.h"

#include "qvedge/display/DialogPainting.h"
#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/qvedge/support/OleThread.h"
#include "tests/qvedge/support/ShowDialog.h"
#include "tests/qvedge/support/TimerRecorder.h"
#include "tests/qvedge/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

TEST(QuorvelDlgTest, ConstructedWithTheInitialValues)
{
    CQuorvelDlg dialog;
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(dialog.views.edgeMode);
    EXPECT_TRUE(dialog.views.ieViews.empty());
    EXPECT_FALSE(dialog.loopDone || dialog.hooksInstalled || dialog.documentCompleted || dialog.fullScreenSet);
    EXPECT_NE(dialog.appIcon, nullptr);
    EXPECT_GE(dialog.monitorLayout.monitorCount, 1);
    EXPECT_EQ(dialog.timerUrlChange + dialog.timerDocComplete + dialog.timerTestTimeOut, 0u);
    EXPECT_TRUE(dialog.exitMouseMove && dialog.exitMouseButton && dialog.exitEscKey && dialog.exitKeys &&
                dialog.exitTouch);
    EXPECT_FALSE(dialog.conditionsSet || dialog.afterInitPosted || dialog.docCompleteTimerStarted);
    EXPECT_EQ(GetObjectType(dialog.errorFont), static_cast<DWORD>(OBJ_FONT));
    LOGFONTA font{};
    GetObjectA(dialog.footerFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, 21);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
    GetObjectA(dialog.errorFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, 35);
    EXPECT_EQ(dialog.monitorMode, 1);
    EXPECT_FALSE(dialog.errorFlag || dialog.contentShown || dialog.engineMode || dialog.ieEngine);
    EXPECT_EQ(dialog.touchWindow.m_hWnd, nullptr);
    EXPECT_EQ(dialog.LoadingAnimation.m_hWnd, nullptr);
}

TEST(QuorvelDlgTest, SettersRecordTheStartUpsChoices)
{
    CQuorvelDlg dialog;
    dialog.SetTestMode(TRUE);
    dialog.SetEngineMode(true);
    dialog.SetMonitorMode(4);
    dialog.LogError(3);
    EXPECT_TRUE(dialog.testRun && dialog.testHold && dialog.engineMode);
    EXPECT_EQ(dialog.monitorMode, 4);
    EXPECT_TRUE(dialog.errorFlag);
    EXPECT_EQ(dialog.errorCode, 3);
    dialog.LogError(0);
    EXPECT_FALSE(dialog.errorFlag);
}

TEST(QuorvelDlgTest, InitialisationStartsTheAnimationAndThePlacesOfTheShow)
{
    theApp.m_pszAppName = "Quorvel title";
    auto dialog = createShowDialog();
    HWND hwnd = dialog->m_hWnd;
    char title[32] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Quorvel title");
    RECT window;
    GetWindowRect(hwnd, &window);
    const RECT& all = dialog->monitorLayout.bounds;
    EXPECT_TRUE(EqualRect(&window, &all));
    EXPECT_TRUE(dialog->fullScreenSet);
    EXPECT_EQ(dialog->views.viewRects.size(), 1u);
    EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(dialog->appIcon));

    HWND animation = GetDlgItem(hwnd, LOADING_ANIMATION_ID);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation, dialog->LoadingAnimation.m_hWnd);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(animation, GWL_STYLE)) & 0xFFFF00FFu, LOADING_ANIMATION_STYLE);

    HWND touch = dialog->touchWindow.m_hWnd;
    ASSERT_NE(touch, nullptr);
    EXPECT_EQ(GetParent(touch), hwnd);
    EXPECT_FALSE(IsWindowVisible(touch));
    EXPECT_TRUE(GetWindowLongA(touch, GWL_EXSTYLE) & WS_EX_TOPMOST);
    GetWindowRect(touch, &window);
    EXPECT_TRUE(EqualRect(&window, &all));

    EXPECT_TRUE(dialog->conditionsSet);
    EXPECT_EQ(hookTargetWindow, hwnd);
    EXPECT_EQ(hookInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(hookExitConditions, &theApp.config.exitConditions);
    EXPECT_EQ(dialog->timerTestTimeOut, 0u);
    // Nothing started the views road's messages: no views exist yet.
    EXPECT_FALSE(takePosted(hwnd, WM_AFTERINIT));
}

TEST(QuorvelDlgTest, TheDialogManagerShowsTheDialogAfterItsInitialisation)
{
    // Template 102 is visible: whatever OnInitDialog hides, the dialog manager shows the
    // window once the initialisation has returned, so the loading animation is on screen.
    auto dialog = createShowDialog();
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
}

TEST(QuorvelDlgTest, InternetExplorerEnginePostsAfterInitOnce)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, true});
    EXPECT_FALSE(dialog->views.edgeMode);
    EXPECT_TRUE(dialog->afterInitPosted);
    EXPECT_TRUE(takePosted(dialog->m_hWnd, WM_AFTERINIT));
    EXPECT_FALSE(takePosted(dialog->m_hWnd, WM_AFTERINIT));
}

TEST(QuorvelDlgTest, TestRunStartsItsGracePeriodTimerOfFifteenSeconds)
{
    const TimerRecorder timers;
    auto dialog = createShowDialog(ShowOptions{TRUE});
    EXPECT_EQ(dialog->timerTestTimeOut, TESTTIMEOUT_TIMER);
    EXPECT_EQ(timers.periodOf(TESTTIMEOUT_TIMER), 15000u);
}

TEST(QuorvelDlgTest, NoInternetStopsAtTheErrorPicture)
{
    auto dialog = createShowDialog(ShowOptions{TRUE, false, 2, 0, false, FALSE, EXIT_KEYBOARD});
    EXPECT_TRUE(dialog->errorFlag);
    EXPECT_EQ(dialog->errorCode, ERROR_NO_INTERNET);
    EXPECT_TRUE(dialog->contentShown);
    EXPECT_EQ(dialog->LoadingAnimation.m_hWnd, nullptr);
    EXPECT_EQ(dialog->touchWindow.m_hWnd, nullptr);
    EXPECT_EQ(dialog->timerTestTimeOut, 0u);
    EXPECT_FALSE(dialog->conditionsSet);
    EXPECT_EQ(hookTargetWindow, nullptr);
    // Error 6 keeps the configured conditions: only keys end this show.
    dialog->SetConditions();
    EXPECT_TRUE(dialog->exitKeys);
    EXPECT_FALSE(dialog->exitMouseMove);
}

TEST(QuorvelDlgTest, EngineReportNeedsNoInternetAndLoadsItsPage)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, true, 2, 0, false, FALSE});
    EXPECT_FALSE(dialog->errorFlag);
    EXPECT_EQ(dialog->monitorMode, 1);
    EXPECT_NE(dialog->engineReportHtml.Find("Quorvel v25.0.1.0"), -1);
    EXPECT_EQ(dialog->engineReportHtml.Find("%%VERSION%%"), -1);
    EXPECT_NE(dialog->LoadingAnimation.m_hWnd, nullptr);
}

TEST(QuorvelDlgTest, StartUpErrorCreatesNothing)
{
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, CONFIG_NOT_READABLE});
    EXPECT_EQ(dialog->LoadingAnimation.m_hWnd, nullptr);
    EXPECT_EQ(dialog->touchWindow.m_hWnd, nullptr);
    EXPECT_FALSE(dialog->conditionsSet);
}

// Every control-colour request of the system, the dialog's own included.
class ControlColourTest : public ::testing::TestWithParam<UINT> {};

TEST_P(ControlColourTest, GetsTheBlackBrush)
{
    auto dialog = createShowDialog();
    HDC dc = GetDC(dialog->m_hWnd);
    const LRESULT brush = SendMessageA(dialog->m_hWnd, GetParam(), reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(dialog->m_hWnd));
    ReleaseDC(dialog->m_hWnd, dc);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dialogBackgroundBrush()));
}

INSTANTIATE_TEST_SUITE_P(Requests, ControlColourTest,
                         ::testing::Values(WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                                           WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC),
                         [](const auto& info) { return std::to_string(info.param); });

// The dialog hands its own rectangles, error, footer and fonts to the painting.
TEST(QuorvelDlgTest, PaintsItsErrorTextAboveItsFooterLine)
{
    theApp.config.showFooter = 1;
    theApp.config.footerTitle = "Quorvel footer";
    auto dialog = createShowDialog(ShowOptions{FALSE, false, 2, CONFIG_EMPTY_LIST});
    InvalidateRect(dialog->m_hWnd, nullptr, TRUE);
    UpdateWindow(dialog->m_hWnd);
    const WindowCapture shot(dialog->m_hWnd);
    auto grey = [](std::uint32_t p) { return p != 0 && (p >> 16) == (p & 0xFF); };
    const RECT text = shot.boxOf(dialog->htmlRect, grey);
    const RECT footer = shot.boxOf(dialog->footerRect, grey);
    ASSERT_GT(text.right, text.left);
    ASSERT_GT(footer.right, footer.left);
    // The error font is the larger one.
    EXPECT_GT(text.bottom - text.top, footer.bottom - footer.top);
}

struct LoopEnd {
    const char* name;
    UINT message;
    bool toThread;
    int result;
    bool quitLeft;
};

class LoopEndTest : public ::testing::TestWithParam<LoopEnd> {};

TEST_P(LoopEndTest, EndsTheShowWithItsResult)
{
    auto dialog = createShowDialog();
    // Other tests' windows may take the activation away; the hold keeps that from ending it.
    dialog->testHold = TRUE;
    if (GetParam().toThread)
        PostQuitMessage(0);
    else
        PostMessageA(dialog->m_hWnd, GetParam().message, 0, 0);
    EXPECT_EQ(runShowLoop(*dialog), GetParam().result);
    EXPECT_TRUE(dialog->loopDone);
    MSG msg;
    EXPECT_EQ(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, GetParam().quitLeft);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

INSTANTIATE_TEST_SUITE_P(Ends, LoopEndTest,
                         ::testing::Values(LoopEnd{"KbdMouseQuit", WM_KbdMouseQuit, false, -1, true},
                                           LoopEnd{"Close", WM_CLOSE, false, IDCANCEL, false},
                                           LoopEnd{"ThreadQuit", WM_QUIT, true, -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuorvelDlgTest, CloseHandledBeforeTheLoopStillEndsIt)
{
    auto dialog = createShowDialog();
    SendMessageA(dialog->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog->loopDone);
    EXPECT_EQ(runShowLoop(*dialog), IDCANCEL);
}

// Posted one after the other, then the loop runs until the queue is empty.
class HarmlessMessageTest : public ::testing::TestWithParam<UINT> {};

TEST_P(HarmlessMessageTest, LeavesTheShowRunning)
{
    auto dialog = createShowDialog();
    // Other tests' windows may take the activation away; the hold keeps that from ending it.
    dialog->testHold = TRUE;
    PostMessageA(dialog->m_hWnd, GetParam(), 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        dialog->RunMyModalLoop(0);
    EXPECT_FALSE(dialog->loopDone);
    EXPECT_TRUE(IsWindow(dialog->m_hWnd));
    EXPECT_TRUE(dialog->ContinueModal());
}

INSTANTIATE_TEST_SUITE_P(Messages, HarmlessMessageTest,
                         ::testing::Values(WM_APP_RESERVED_FIRST, WM_APP_RESERVED_SECOND, WM_WebPageExecuteScript,
                                           WM_InitializeWindow, WM_WebPageLoaded, WM_AFTERINIT, WM_HTMLDOCCMPL),
                         [](const auto& info) { return std::to_string(info.param); });

TEST(QuorvelDlgTest, EnterAndEscNeverCloseThroughTheDialogManager)
{
    auto dialog = createShowDialog();
    dialog->testHold = TRUE;
    PostMessageA(dialog->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    PostMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        dialog->RunMyModalLoop(0);
    EXPECT_FALSE(dialog->loopDone);
}

// Counts the idle messages the loop sends.
class IdleCountingDlg : public CQuorvelDlg {
public:
    int kickIdles = 0;
    bool postedSeen = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KICKIDLE)
            ++kickIdles;
        if (message == WM_APP_RESERVED_FIRST)
            postedSeen = true;
        return CQuorvelDlg::WindowProc(message, wParam, lParam);
    }
};

DWORD WINAPI postAfterASecond(LPVOID window)
{
    Sleep(1000);
    PostMessageA(static_cast<HWND>(window), WM_APP_RESERVED_FIRST, 0, 0);
    return 0;
}

TEST(QuorvelDlgTest, IdleLoopWaitsInGetMessage)
{
    theApp.internetConnected = TRUE;
    IdleCountingDlg dialog;
    ASSERT_TRUE(dialog.Create(CQuorvelDlg::IDD, nullptr));
    dialog.testHold = TRUE;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        dialog.RunMyModalLoop(0);

    // Called again and again as the start-up does, for the second until another thread posts.
    // Each call waits in GetMessage: only stray messages of the desktop end a few calls
    // early, where a loop that polled would return thousands of times. Under Wine a poll's
    // cost lands in wineserver, so the thread's processor time would not show it.
    HANDLE poster = CreateThread(nullptr, 0, postAfterASecond, dialog.m_hWnd, 0, nullptr);
    int result = 0;
    int returns = 0;
    while (!dialog.postedSeen && !dialog.loopDone) {
        result = dialog.RunMyModalLoop(0);
        ++returns;
    }
    WaitForSingleObject(poster, INFINITE);
    CloseHandle(poster);
    EXPECT_LT(returns, 50);
    EXPECT_GE(dialog.kickIdles, 1);
    EXPECT_FALSE(dialog.loopDone) << result;
}

TEST(QuorvelDlgTest, DestructorWithNothingStartedRunsCleanly)
{
    HWND hwnd;
    {
        auto dialog = createShowDialog();
        hwnd = dialog->m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
}

// The dialog's COM initialisation ends with it: a thread without COM before has none after.
TEST(QuorvelDlgTest, LeavesTheThreadsComAsItFoundIt)
{
    HRESULT afterwards = E_FAIL;
    std::thread([&] {
        createShowDialog(ShowOptions{FALSE, false, 2, 0, false, FALSE, 0}).reset();
        afterwards = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterwards))
            CoUninitialize();
    }).join();
    EXPECT_EQ(S_OK, afterwards);
}

TEST(QuorvelDlgTest, DestructorDeletesTheViewsAndRemovesTheHooks)
{
    OleThread ole;
    ASSERT_EQ(S_OK, ole.result);
    auto dialog = createShowDialog();
    dialog->views.edgeMode = false;
    dialog->views.viewRects = {RECT{0, 0, 100, 100}};
    ASSERT_EQ(0, dialog->views.createViews(dialog.get()));
    ASSERT_EQ(1u, dialog->views.ieViews.size());
    HWND viewWindow = dialog->views.ieViews[0]->m_hWnd;
    HWND controlWindow = FindWindowExA(viewWindow, nullptr, "Shell Embedding", nullptr);
    ASSERT_NE(controlWindow, nullptr);
    EXPECT_TRUE(installKbdHook(GetModuleHandleA(nullptr)));
    EXPECT_TRUE(installMouseHook(nullptr));
    dialog->hooksInstalled = true;
    dialog.reset();
    EXPECT_FALSE(IsWindow(viewWindow));
    EXPECT_FALSE(IsWindow(controlWindow));
    EXPECT_EQ(keyboardHook.Get(), nullptr);
    EXPECT_EQ(mouseHook.Get(), nullptr);
}

} // namespace
