#include "qvedge/display/QuorvelDlg.h"

#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/edge/WebView2Wrapper.h"
#include "tests/qvedge/support/FakeDesktop.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/ShowDialog.h"
#include "tests/qvedge/views/edge/FakeWebView2.h"
#include "tests/webview2/chromium/ChromiumSession.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<FakeMonitor> twoMonitors = {{{0, 0, 1920, 1080}, true}, {{-1280, 0, 0, 1024}, false}};

// Runs the show's loop until the condition holds or the loop has ended; the dialog's own
// WM_CLOSE is only ever handled by its loop.
void pumpUntil(CQuorvelDlg& dialog, const std::function<bool()>& done)
{
    for (int round = 0; round < 500 && !dialog.loopDone && !done(); ++round) {
        dialog.RunMyModalLoop(0);
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

size_t countRecords(const LogCapture& log, const std::string& record)
{
    const std::vector<std::string> records = log.records();
    return static_cast<size_t>(std::count(records.begin(), records.end(), record));
}

BOOL mutedOf(size_t index)
{
    BOOL muted = FALSE;
    webViewWrappers.at(index)->webView->get_IsMuted(&muted);
    return muted;
}

// What a failed visibility check shows of a window and its owner.
std::string windowState(HWND window)
{
    const HWND owner = GetWindow(window, GW_OWNER);
    return "window " + std::to_string(IsWindow(window)) + " style " + std::to_string(GetWindowLongA(window, GWL_STYLE)) +
           ", owner visible " + std::to_string(IsWindowVisible(owner)) + " iconic " + std::to_string(IsIconic(owner)) +
           ", foreground ours " + std::to_string(GetForegroundWindow() == owner);
}

bool everyViewHasItsWebView()
{
    return !webViewWrappers.empty() &&
           std::all_of(webViewWrappers.begin(), webViewWrappers.end(), [](WebView2Wrapper* w) { return static_cast<bool>(w->webView); });
}

const std::string edgeSource = "QuorvelDlgEdge.cpp\t";
const std::string loadedRecord = edgeSource + "OnWebPageLoaded\t";

class QuorvelDlgEdgeTest : public testing::Test {
protected:
    void SetUp() override
    {
        webViewLoadFailed = false;
        firstAllLoaded = true;
        CQuorvelConf& config = theApp.config;
        config.urlList = {"https://example.org/"};
        config.currentUrl = -1;
        config.mode = url_list_mode;
        config.testMode = false;
        config.timeOut = 0;
        config.showFooter = 0;
    }
    void TearDown() override { dialog.reset(); }

    void show(int exitConditions = 0, int monitorMode = MONITOR_MAIN_ONLY)
    {
        dialog = createShowDialog(ShowOptions{FALSE, false, monitorMode, 0, false, TRUE, exitConditions});
        // Other tests' windows may take the activation away; the hold keeps that from ending it.
        dialog->testHold = TRUE;
    }
    void pumpUntil(const std::function<bool()>& done) { ::pumpUntil(*dialog, done); }
    void pumpUntilShown() { pumpUntil([this] { return dialog->contentShown; }); }
    void pumpUntilStarted() { pumpUntil([this] { return everyViewHasItsWebView() && !runtime.hasPending(); }); }

    FakeRuntime runtime;
    std::unique_ptr<CQuorvelDlg> dialog;
};

TEST_F(QuorvelDlgEdgeTest, AllLoadedShowsTheContentWithHooksTimerAndTouchWindow)
{
    theApp.config.timeOut = 50;
    LogCapture log;
    show(EXIT_KEYBOARD | EXIT_MOUSE_MOVE | EXIT_TOUCH);
    pumpUntilShown();
    ASSERT_TRUE(dialog->contentShown);
    EXPECT_FALSE(firstAllLoaded);
    EXPECT_TRUE(dialog->hooksInstalled);
    EXPECT_NE(nullptr, keyboardHook.Get());
    EXPECT_NE(nullptr, mouseHook.Get());
    EXPECT_EQ(URL_CHANGE_TIMER, dialog->timerUrlChange);
    EXPECT_TRUE(runtime.called(0, "put_IsVisible 1"));
    EXPECT_FALSE(mutedOf(0));
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(dialog->LoadingAnimation.m_hWnd));
    EXPECT_TRUE(IsWindowVisible(dialog->touchWindow.m_hWnd)) << windowState(dialog->touchWindow.m_hWnd);
    EXPECT_TRUE(log.has(loadedRecord + "OnWebPageLoaded - all webviews loaded"));
    EXPECT_TRUE(log.has(loadedRecord + "SetTimer(URL_CHANGE_TIMER)"));
    EXPECT_TRUE(log.has(loadedRecord + "LoadingAnimation stopped"));

    // The rotation timer runs with the configured period.
    bool ticked = false;
    for (int round = 0; round < 300 && !ticked; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, dialog->m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE))
            ticked = ticked || msg.wParam == URL_CHANGE_TIMER;
        if (!ticked)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
    }
    EXPECT_TRUE(ticked);
}

TEST_F(QuorvelDlgEdgeTest, ALaterAllLoadedOnlyLogsTheTimes)
{
    LogCapture log;
    show(EXIT_KEYBOARD);
    pumpUntilShown();
    const HHOOK hook = keyboardHook.Get();
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, 0, 1);
    pumpUntil([&] { return countRecords(log, loadedRecord + "OnWebPageLoaded index = 0 result = 1") == 2; });
    size_t timeLines = 0;
    for (const std::string& record : log.records())
        timeLines += record.rfind(loadedRecord + "WebView #0 Environment ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(2u, timeLines);
    EXPECT_EQ(1u, countRecords(log, loadedRecord + "OnWebPageLoaded - all webviews loaded"));
    EXPECT_EQ(1u, runtime.count("put_IsVisible 1"));
    EXPECT_EQ(hook, keyboardHook.Get());
}

TEST_F(QuorvelDlgEdgeTest, WithoutTimeOutOrExitBitsNoTimerHookOrTouchWindow)
{
    show(0);
    pumpUntilShown();
    ASSERT_TRUE(dialog->contentShown);
    EXPECT_EQ(0u, dialog->timerUrlChange);
    EXPECT_TRUE(dialog->hooksInstalled);
    EXPECT_EQ(nullptr, keyboardHook.Get());
    EXPECT_EQ(nullptr, mouseHook.Get());
    EXPECT_FALSE(IsWindowVisible(dialog->touchWindow.m_hWnd));
}

TEST_F(QuorvelDlgEdgeTest, TwoViewsOnlyTheFirstIsHeard)
{
    FakeDesktop desktop(twoMonitors);
    show(0, MONITOR_SAME_ON_EVERY);
    pumpUntilShown();
    ASSERT_EQ(2u, webViewWrappers.size());
    ASSERT_TRUE(dialog->contentShown);
    EXPECT_FALSE(mutedOf(0));
    EXPECT_TRUE(mutedOf(1));
    EXPECT_EQ(2u, runtime.count("put_IsVisible 1"));
}

std::vector<std::string> muteCallsOf(const FakeRuntime& runtime, size_t k)
{
    std::vector<std::string> mutes;
    for (const std::string& call : runtime.callsOf(k)) {
        if (call.rfind("put_IsMuted ", 0) == 0)
            mutes.push_back(call);
    }
    return mutes;
}

// The positions of the line in the journal.
std::vector<size_t> positionsOf(const FakeRuntime& runtime, const std::string& line)
{
    std::vector<size_t> positions;
    for (size_t i = 0; i < runtime.journal.size(); ++i) {
        if (runtime.journal[i] == line)
            positions.push_back(i);
    }
    return positions;
}

class QuorvelDlgEdgeOrderTest : public QuorvelDlgEdgeTest, public testing::WithParamInterface<std::vector<size_t>> {};

// Each view is muted or unmuted when it reports, whichever reports first; the show comes
// on screen with the last report only, after both views have their sound set.
TEST_P(QuorvelDlgEdgeOrderTest, TheShowWaitsForTheLastViewAndEachIsMutedWhenItReports)
{
    const size_t first = GetParam()[0];
    const size_t last = GetParam()[1];
    FakeDesktop desktop(twoMonitors);
    runtime.knobs.completeNavigations = false;
    LogCapture log;
    show(0, MONITOR_SAME_ON_EVERY);
    pumpUntilStarted();
    ASSERT_EQ(2u, webViewWrappers.size());
    ASSERT_EQ(0u, runtime.count("put_IsMuted 0") + runtime.count("put_IsMuted 1"));

    runtime.fireNavigationCompleted(first, true);
    pumpUntil([&] { return log.has(loadedRecord + "Wait other WebViews"); });
    EXPECT_TRUE(log.has(loadedRecord + "Wait other WebViews"));
    EXPECT_FALSE(dialog->contentShown);
    EXPECT_EQ(0u, runtime.count("put_IsVisible 1"));
    EXPECT_EQ(std::vector<std::string>({"put_IsMuted " + std::to_string(first != 0)}), muteCallsOf(runtime, first));
    EXPECT_TRUE(muteCallsOf(runtime, last).empty()) << "view " << last << " had its sound set before it reported";

    runtime.fireNavigationCompleted(last, true);
    pumpUntilShown();
    ASSERT_TRUE(dialog->contentShown);
    EXPECT_FALSE(mutedOf(0));
    EXPECT_TRUE(mutedOf(1));
    const std::vector<size_t> shown = positionsOf(runtime, "#0 put_IsVisible 1");
    const std::vector<size_t> shownToo = positionsOf(runtime, "#1 put_IsVisible 1");
    ASSERT_EQ(1u, shown.size());
    ASSERT_EQ(1u, shownToo.size());
    const std::vector<size_t> unmuted = positionsOf(runtime, "#0 put_IsMuted 0");
    const std::vector<size_t> muted = positionsOf(runtime, "#1 put_IsMuted 1");
    ASSERT_EQ(1u, unmuted.size());
    ASSERT_EQ(1u, muted.size());
    EXPECT_LT(unmuted[0], std::min(shown[0], shownToo[0]));
    EXPECT_LT(muted[0], std::min(shown[0], shownToo[0]));
    EXPECT_EQ(1u, runtime.count("put_IsMuted 1"));
    EXPECT_EQ(1u, runtime.count("put_IsMuted 0"));
}

// The view that reports first has loaded; the other one fails.
TEST_P(QuorvelDlgEdgeOrderTest, OneFailureAfterALoadedViewFallsBackForGoodAndSilencesTheWebViews)
{
    const size_t loaded = GetParam()[0];
    const size_t failed = GetParam()[1];
    FakeDesktop desktop(twoMonitors);
    runtime.knobs.completeNavigations = false;
    LogCapture log;
    show(0, MONITOR_SAME_ON_EVERY);
    pumpUntilStarted();
    runtime.fireNavigationCompleted(loaded, true);
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, failed, 0);
    pumpUntil([this] { return dialog->ieEngine; });
    ASSERT_TRUE(dialog->ieEngine);
    EXPECT_TRUE(webViewLoadFailed);
    EXPECT_FALSE(dialog->views.edgeMode);
    EXPECT_TRUE(dialog->afterInitPosted);
    EXPECT_TRUE(mutedOf(0));
    EXPECT_TRUE(mutedOf(1));
    const size_t callsAtFallback = runtime.journal.size();

    // Later reports, loaded or failed, change nothing and unmute nobody.
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, loaded, 1);
    runtime.fireNavigationCompleted(failed, true);
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, failed, 0);
    const std::string failedAgain =
        loadedRecord + "OnWebPageLoaded index = " + std::to_string(failed) + " result = 0";
    pumpUntil([&] { return countRecords(log, failedAgain) == 2; });
    EXPECT_EQ(2u, countRecords(log, failedAgain));
    EXPECT_EQ(1u, countRecords(log, loadedRecord + "Fail-back to CHtmlView"));
    EXPECT_EQ(1u, countRecords(log, loadedRecord + "doCreateHtmlView - PostMessage(WM_AFTERINIT) "));
    for (size_t i = callsAtFallback; i < runtime.journal.size(); ++i)
        EXPECT_EQ(std::string::npos, runtime.journal[i].find("put_IsMuted 0")) << runtime.journal[i];
    EXPECT_TRUE(mutedOf(0));
    EXPECT_TRUE(mutedOf(1));
    EXPECT_FALSE(dialog->contentShown);
    EXPECT_EQ(0u, runtime.count("put_IsVisible 1"));
}

INSTANTIATE_TEST_SUITE_P(ReportOrders, QuorvelDlgEdgeOrderTest,
                         testing::Values(std::vector<size_t>{0, 1}, std::vector<size_t>{1, 0}),
                         [](const testing::TestParamInfo<std::vector<size_t>>& info) {
                             return "View" + std::to_string(info.param[0]) + "First";
                         });

// A view fails before any WebView2 object exists; the WebView2 objects that come up after
// the fallback, view 0's included, are muted when they report and never shown.
TEST_F(QuorvelDlgEdgeTest, WebViewsThatComeUpAfterTheFallbackAreMutedWhenTheyReport)
{
    FakeDesktop desktop(twoMonitors);
    runtime.knobs.completeNavigations = false;
    LogCapture log;
    show(0, MONITOR_SAME_ON_EVERY);
    // Handled right after both views have asked for their environments.
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, 0, 0);
    pumpUntilStarted();
    ASSERT_TRUE(dialog->ieEngine);
    ASSERT_EQ(2u, runtime.controllers.size());
    runtime.fireNavigationCompleted(1, true);
    runtime.fireNavigationCompleted(0, true);
    pumpUntil([&] { return log.has(loadedRecord + "OnWebPageLoaded index = 0 result = 1"); });
    ASSERT_TRUE(log.has(loadedRecord + "OnWebPageLoaded index = 1 result = 1"));
    EXPECT_TRUE(mutedOf(0));
    EXPECT_TRUE(mutedOf(1));
    EXPECT_EQ(0u, runtime.count("put_IsMuted 0"));
    EXPECT_EQ(0u, runtime.count("put_IsVisible 1"));
    EXPECT_FALSE(dialog->contentShown);
}

TEST_F(QuorvelDlgEdgeTest, AReportOutsideTheListIsIgnored)
{
    show(0);
    pumpUntilShown();
    PostMessageA(dialog->m_hWnd, WM_WebPageLoaded, 7, 0);
    LogCapture log;
    pumpUntil([&] { return log.has(loadedRecord + "OnWebPageLoaded index = 7 result = 0"); });
    EXPECT_TRUE(log.has(loadedRecord + "OnWebPageLoaded index = 7 result = 0"));
    EXPECT_FALSE(webViewLoadFailed);
    EXPECT_FALSE(dialog->ieEngine);
}

TEST_F(QuorvelDlgEdgeTest, AControllerStepWithoutAReportLeavesTheLoadingScreenButAKeyEndsTheShow)
{
    runtime.knobs.getCoreWebView2Result = E_FAIL;
    show(EXIT_KEYBOARD);
    pumpUntil([this] { return !webViewWrappers.empty() && webViewWrappers[0]->controller && !runtime.hasPending(); });
    EXPECT_FALSE(dialog->contentShown);
    EXPECT_FALSE(dialog->ieEngine);
    EXPECT_TRUE(GetWindowLongA(dialog->LoadingAnimation.m_hWnd, GWL_STYLE) & WS_VISIBLE);
    PostMessageA(dialog->m_hWnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(IDCANCEL, runShowLoop(*dialog));
}

TEST_F(QuorvelDlgEdgeTest, AnEmptyFirstAddressLeavesTheLoadingScreenButAKeyEndsTheShow)
{
    theApp.config.urlList.clear();
    show(EXIT_KEYBOARD);
    pumpUntilStarted();
    EXPECT_TRUE(runtime.called(0, "Navigate "));
    EXPECT_FALSE(dialog->contentShown);
    PostMessageA(dialog->m_hWnd, WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(IDCANCEL, runShowLoop(*dialog));
}

TEST_F(QuorvelDlgEdgeTest, APageCloseRequestEndsTheShow)
{
    show(0);
    pumpUntilShown();
    runtime.fireWindowCloseRequested(0);
    EXPECT_EQ(IDCANCEL, runShowLoop(*dialog));
}

TEST_F(QuorvelDlgEdgeTest, TheEngineReportIsShownAsPageText)
{
    LogCapture log;
    dialog = createShowDialog(ShowOptions{FALSE, true, MONITOR_MAIN_ONLY, 0, false, TRUE, 0});
    dialog->testHold = TRUE;
    pumpUntilStarted();
    const std::vector<std::string> calls = runtime.callsOf(0);
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("NavigateToString <", 0) == 0; }));
    EXPECT_FALSE(std::any_of(calls.begin(), calls.end(),
                             [](const std::string& c) { return c.rfind("Navigate ", 0) == 0; }));
    EXPECT_TRUE(log.has(edgeSource + "OnInitializeWindowMessage\tcall CQuorvelVw2::initializeWebView2 (ua_parser_string)"));
}

struct ContentCase {
    std::string name;
    int mode;
    bool testMode;
    std::string navigation;
    std::string record;
};

void PrintTo(const ContentCase& c, std::ostream* out)
{
    *out << c.name;
}

class QuorvelDlgEdgeContentTest : public QuorvelDlgEdgeTest, public testing::WithParamInterface<ContentCase> {};

TEST_P(QuorvelDlgEdgeContentTest, NavigatesToTheContentOfTheMode)
{
    const ContentCase& c = GetParam();
    theApp.config.mode = c.mode;
    theApp.config.testMode = c.testMode;
    theApp.config.dataFolder = "C:\\Data\\show";
    theApp.config.selectedFolder = "C:\\Pick\\deck";
    LogCapture log;
    show(0);
    pumpUntilStarted();
    EXPECT_TRUE(runtime.called(0, "Navigate " + c.navigation)) << testing::PrintToString(runtime.callsOf(0));
    EXPECT_TRUE(log.has(edgeSource + "OnInitializeWindowMessage\t" + c.record));
    EXPECT_TRUE(log.has(edgeSource + "OnInitializeWindowMessage\tcall views.initializeEdgeViews()"));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, QuorvelDlgEdgeContentTest,
    testing::Values(
        ContentCase{"AddressList", url_list_mode, false, "https://example.org/",
                    "call CQuorvelVw2::initializeWebView2 (url): https://example.org/"},
        ContentCase{"MediaFilesTurnBackslashes", media_files_mode, false, "file:///C:/Data/show/index.html",
                    "call CQuorvelVw2::initializeWebView2 (media_files_mode)"},
        ContentCase{"PresentationKeepsBackslashes", presentation_mode, false, "file:///C:\\Data\\show/index.html",
                    "call CQuorvelVw2::initializeWebView2 (presentation_mode)"},
        ContentCase{"PresentationTestUsesTheSelectedFolder", presentation_mode, true,
                    "file:///C:\\Pick\\deck/index.html", "Presentation test - use original pathC:\\Pick\\deck"}),
    [](const testing::TestParamInfo<ContentCase>& info) { return info.param.name; });

TEST(QuorvelDlgEdgeLoaderTest, WithoutAProviderTheShowFallsBackToInternetExplorer)
{
    webViewLoadFailed = false;
    firstAllLoaded = true;
    theApp.config.urlList = {"https://example.org/"};
    theApp.config.currentUrl = -1;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    setWebView2ProviderPath(std::string(temp) + "no-such-folder\\QuorvelRuntime.dll");
    LogCapture log;
    auto dialog = createShowDialog(ShowOptions{FALSE, false, MONITOR_MAIN_ONLY, 0, false, TRUE, 0});
    dialog->testHold = TRUE;
    pumpUntil(*dialog, [&] { return dialog->ieEngine; });
    EXPECT_TRUE(dialog->ieEngine);
    EXPECT_FALSE(dialog->views.edgeMode);
    EXPECT_TRUE(dialog->afterInitPosted);
    EXPECT_TRUE(log.has("WebView2Wrapper.cpp\tinitializeWebView2\tFailed to create webview environment -2147024894"));
    EXPECT_TRUE(log.has(loadedRecord + "Fail-back to CHtmlView"));
    dialog.reset();
    setWebView2ProviderPath("");
}

TEST(QuorvelDlgEdgeLoaderTest, WithoutTheBrowserVariableTheChromiumRuntimeFallsBackToInternetExplorer)
{
    webViewLoadFailed = false;
    firstAllLoaded = true;
    theApp.config.urlList = {"https://example.org/"};
    theApp.config.currentUrl = -1;
    chromiumtest::ChromiumSession session;
    SetEnvironmentVariableA("QV_BROWSER", nullptr);
    LogCapture log;
    auto dialog = createShowDialog(ShowOptions{FALSE, false, MONITOR_MAIN_ONLY, 0, false, TRUE, 0});
    pumpUntil(*dialog, [&] { return dialog->ieEngine; });
    EXPECT_TRUE(dialog->ieEngine);
    EXPECT_FALSE(dialog->views.edgeMode);
    // HRESULT_FROM_WIN32(ERROR_ENVVAR_NOT_FOUND)
    EXPECT_TRUE(log.has("WebView2Wrapper.cpp\tinitializeWebView2\tFailed to create webview environment -2147024693"));
    EXPECT_TRUE(log.has(loadedRecord + "Fail-back to CHtmlView"));
    dialog.reset();
}

} // namespace
