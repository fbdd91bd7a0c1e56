#include "tests/webview2/ProviderSession.h"
#include "tests/webview2/chromium/ChromiumSession.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace chromiumtest;
using webview2test::EventLog;
using webview2test::HostWindow;
using webview2test::recordEvents;

namespace {

constexpr RECT VIEW_BOUNDS = {8, 8, 72, 56};
constexpr int PROBE_X = 32;
constexpr int PROBE_Y = 24;

class ChromiumProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (pageAddress("/").empty())
            GTEST_SKIP() << "no page server: run through ctest";
        ASSERT_NO_FATAL_FAILURE(createView(host.get(), VIEW_BOUNDS, view));
        ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    }
    void TearDown() override
    {
        if (view.controller)
            view.controller->Close();
    }

    bool completions(size_t count)
    {
        return pumpUntil([&] {
            size_t seen = 0;
            for (const std::string& event : log.events)
                seen += event.rfind("completed:", 0) == 0;
            return seen >= count;
        });
    }
    bool shows(unsigned colour)
    {
        return pumpUntil([&] {
            HWND content = contentWindowOf(host.get());
            return content && closeTo(pixelAt(content, PROBE_X, PROBE_Y), colour);
        });
    }

    ChromiumSession session;
    HostWindow host;
    View view;
    EventLog log;
};

} // namespace

TEST_F(ChromiumProviderTest, APageOfAColourShowsAndTheNextAddressReplacesIt)
{
    const std::wstring red = pageAddress("/colour/ff0000");
    ASSERT_EQ(S_OK, view.webView->Navigate(red.c_str()));
    EXPECT_TRUE(log.events.empty());
    ASSERT_TRUE(completions(1));
    const std::string address = webview2test::narrow(red.c_str());
    EXPECT_EQ((std::vector<std::string>{"starting:0:" + address, "requested:" + address, "completed:1:0"}),
              log.events);
    EXPECT_EQ(GetCurrentThreadId(), log.lastThread);
    EXPECT_TRUE(shows(0xff0000)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
    // A still page sends no new frames: shown again, the window paints the one it kept.
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(FALSE));
    ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(contentWindowOf(host.get())); }));
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(TRUE));
    EXPECT_TRUE(shows(0xff0000)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/0000ff").c_str()));
    ASSERT_TRUE(completions(2));
    EXPECT_TRUE(shows(0x0000ff)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
}

namespace {

struct NavigationCase {
    const char* name;
    // The address, or null for a closed port on loopback.
    const char* path;
    // The starting and completed events, "<address>" standing for the address itself.
    std::vector<std::string> expected;
};

std::vector<std::string> navigationEvents(const std::vector<std::string>& events)
{
    std::vector<std::string> kept;
    for (const std::string& event : events)
        if (event.rfind("starting:", 0) == 0 || event.rfind("completed:", 0) == 0)
            kept.push_back(event);
    return kept;
}

} // namespace

TEST_F(ChromiumProviderTest, NavigationEventsFollowWhatTheBrowserDid)
{
    const NavigationCase cases[] = {
        {"redirect", "/redirect/00ff00", {"starting:0:<address>", "starting:1:<page>/colour/00ff00", "completed:1:0"}},
        {"missing page", "/missing", {"starting:0:<address>", "completed:0:0"}},
        {"closed port", nullptr, {"starting:0:<address>", "completed:0:12"}},
    };
    const std::string page = webview2test::narrow(pageAddress("").c_str());
    for (const NavigationCase& c : cases) {
        SCOPED_TRACE(c.name);
        log.events.clear();
        const std::string address =
            c.path ? page + c.path : "http://127.0.0.1:" + std::to_string(closedPort()) + "/";
        ASSERT_EQ(S_OK, view.webView->Navigate(std::wstring(address.begin(), address.end()).c_str()));
        ASSERT_TRUE(completions(1));
        std::vector<std::string> expected;
        for (std::string event : c.expected) {
            for (const auto& [mark, value] : {std::pair<std::string, std::string>{"<address>", address}, {"<page>", page}})
                if (event.find(mark) != std::string::npos)
                    event.replace(event.find(mark), mark.size(), value);
            expected.push_back(event);
        }
        EXPECT_EQ(expected, navigationEvents(log.events));
    }
}

TEST_F(ChromiumProviderTest, APageNavigatingByItselfRaisesTheEventsToo)
{
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/ff0000").c_str()));
    ASSERT_TRUE(completions(1));
    const std::wstring next = pageAddress("/colour/00ff00");
    log.events.clear();
    runScript(view.webView.Get(), L"location.href = '" + next + L"'");
    ASSERT_TRUE(completions(1));
    EXPECT_EQ((std::vector<std::string>{"starting:0:" + webview2test::narrow(next.c_str()), "completed:1:0"}),
              navigationEvents(log.events));
    EXPECT_TRUE(shows(0x00ff00)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
}

TEST_F(ChromiumProviderTest, PageTextShowsAndADefaultColourFillsWhatItLeavesBare)
{
    ComPtr<ICoreWebView2Controller2> colours;
    ASSERT_EQ(S_OK, view.controller->QueryInterface(__uuidof(ICoreWebView2Controller2),
                                                    reinterpret_cast<void**>(colours.ReleaseAndGetAddressOf())));
    ASSERT_EQ(S_OK, colours->put_DefaultBackgroundColor({255, 255, 0, 255}));
    ASSERT_EQ(S_OK, view.webView->NavigateToString(L"<p>bare</p>"));
    ASSERT_TRUE(completions(1));
    EXPECT_EQ("completed:1:0", navigationEvents(log.events).back());
    EXPECT_TRUE(shows(0xff00ff)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
    ASSERT_EQ(S_OK, view.webView->NavigateToString(L"<body style=\"background:#00ff00\"></body>"));
    ASSERT_TRUE(completions(2));
    EXPECT_TRUE(shows(0x00ff00)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
}

TEST_F(ChromiumProviderTest, ScriptResultsComeBackAsJsonLaterOnTheCallingThread)
{
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"1 + 1", "2"},
        {L"({a: 'x', b: [1, null]})", R"({"a":"x","b":[1,null]})"},
        {L"'text'", "\"text\""},
        {L"undefined", "null"},
        {L"throw new Error('thrown')", "null"},
    };
    for (const auto& [script, json] : cases) {
        SCOPED_TRACE(json);
        bool called = false;
        DWORD thread = 0;
        std::string result;
        auto* handler = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT code, LPCWSTR text) {
            called = true;
            thread = GetCurrentThreadId();
            result = SUCCEEDED(code) ? webview2test::narrow(text) : "failed";
            return S_OK;
        });
        ASSERT_EQ(S_OK, view.webView->ExecuteScript(script, handler));
        handler->Release();
        EXPECT_FALSE(called);
        ASSERT_TRUE(pumpUntil([&] { return called; }));
        EXPECT_EQ(json, result);
        EXPECT_EQ(GetCurrentThreadId(), thread);
    }
}

TEST_F(ChromiumProviderTest, APageClosingItselfAfterANavigationAsksToClose)
{
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/ff0000").c_str()));
    ASSERT_TRUE(completions(1));
    EXPECT_EQ(log.events.end(), std::find(log.events.begin(), log.events.end(), "close"));
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/close/00ff00").c_str()));
    EXPECT_TRUE(pumpUntil([&] { return !log.events.empty() && log.events.back() == "close"; }));
}

TEST_F(ChromiumProviderTest, AMemRequestReachesTheHandlerWhoseScriptThePageReceives)
{
    const std::string feed = "mem://localhost:1234/echo?a=1";
    EventRegistrationToken token = {};
    auto* answer = Callback<ICoreWebView2WebResourceRequestedEventHandler>(
        [&](ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs*) {
            sender->ExecuteScript(L"json_decode({path: '/echo'})", nullptr);
            return E_INVALIDARG;
        });
    ASSERT_EQ(S_OK, view.webView->add_WebResourceRequested(answer, &token));
    answer->Release();
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/feed?port=1234&path=/echo%3Fa%3D1").c_str()));
    ASSERT_TRUE(completions(1));
    EXPECT_NE(log.events.end(), std::find(log.events.begin(), log.events.end(), "requested:" + feed));
    EXPECT_EQ("\"/echo\"", scriptUntil(view.webView.Get(), L"window.feed && window.feed.path", "\"/echo\""));
    EXPECT_TRUE(shows(0x00ff00)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
}

TEST_F(ChromiumProviderTest, MediaPlaysByItselfAndFollowsTheViewsMute)
{
    const wchar_t* state = L"['quiet', 'loud'].map(id => { const a = document.getElementById(id); "
                           L"return (a.paused ? 'paused' : 'playing') + (a.muted ? ' muted' : ''); }).join()";
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/media").c_str()));
    ASSERT_TRUE(completions(1));
    EXPECT_EQ("\"playing muted,playing\"", scriptUntil(view.webView.Get(), state, "\"playing muted,playing\""));
    ASSERT_EQ(S_OK, view.webView->put_IsMuted(TRUE));
    BOOL muted = FALSE;
    EXPECT_EQ(S_OK, view.webView->get_IsMuted(&muted));
    EXPECT_TRUE(muted);
    EXPECT_EQ("\"playing muted,playing muted\"",
              scriptUntil(view.webView.Get(), state, "\"playing muted,playing muted\""));
    // A new document starts muted; unmuting leaves the page's own muted element muted.
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/media").c_str()));
    ASSERT_TRUE(completions(2));
    EXPECT_EQ("\"playing muted,playing muted\"",
              scriptUntil(view.webView.Get(), state, "\"playing muted,playing muted\""));
    ASSERT_EQ(S_OK, view.webView->put_IsMuted(FALSE));
    EXPECT_EQ("\"playing muted,playing\"", scriptUntil(view.webView.Get(), state, "\"playing muted,playing\""));
}

TEST_F(ChromiumProviderTest, AUserAgentSetIsReadBackAtOnceAndSentWithTheNextNavigation)
{
    ComPtr<ICoreWebView2Settings> settings;
    ASSERT_EQ(S_OK, view.webView->get_Settings(settings.ReleaseAndGetAddressOf()));
    ComPtr<ICoreWebView2Settings2> settings2;
    ASSERT_EQ(S_OK, settings->QueryInterface(__uuidof(ICoreWebView2Settings2),
                                             reinterpret_cast<void**>(settings2.ReleaseAndGetAddressOf())));
    LPWSTR agent = nullptr;
    ASSERT_EQ(S_OK, settings2->get_UserAgent(&agent));
    EXPECT_NE(std::string::npos, webview2test::narrow(agent).find("Chrome/"));
    CoTaskMemFree(agent);
    ASSERT_EQ(S_OK, settings2->put_UserAgent(L"QuorvelTest/1.0"));
    ASSERT_EQ(S_OK, settings2->get_UserAgent(&agent));
    EXPECT_EQ("QuorvelTest/1.0", webview2test::narrow(agent));
    CoTaskMemFree(agent);
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/agent").c_str()));
    ASSERT_TRUE(completions(1));
    EXPECT_EQ("\"QuorvelTest/1.0|QuorvelTest/1.0\"",
              runScript(view.webView.Get(), L"document.body.textContent + '|' + navigator.userAgent").json);
}

TEST_F(ChromiumProviderTest, ThePageFollowsTheBoundsAndStaysHiddenUntilShown)
{
    ASSERT_EQ(S_OK, view.controller->put_Bounds({0, 0, 100, 80}));
    EXPECT_EQ("\"100x80\"", scriptUntil(view.webView.Get(), L"innerWidth + 'x' + innerHeight", "\"100x80\""));
    HWND content = contentWindowOf(host.get());
    ASSERT_TRUE(content);
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(FALSE));
    EXPECT_TRUE(pumpUntil([&] { return !IsWindowVisible(content); }));
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(TRUE));
    EXPECT_TRUE(pumpUntil([&] {
        RECT placed = {};
        GetWindowRect(content, &placed);
        return IsWindowVisible(content) && placed.right - placed.left == 100 && placed.bottom - placed.top == 80;
    }));
}

TEST_F(ChromiumProviderTest, AfterCloseNoHandlerRunsAndCallsAreRefused)
{
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/ff0000").c_str()));
    bool scripted = false;
    auto* handler = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT, LPCWSTR) {
        scripted = true;
        return S_OK;
    });
    ASSERT_EQ(S_OK, view.webView->ExecuteScript(L"1", handler));
    handler->Release();
    ASSERT_EQ(S_OK, view.controller->Close());
    EXPECT_FALSE(contentWindowOf(host.get()));
    EXPECT_FALSE(pumpUntil([&] { return !log.events.empty() || scripted; }, 1500));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_STATE), view.webView->Navigate(pageAddress("/colour/ff0000").c_str()));
}

TEST_F(ChromiumProviderTest, ABrowserEndedDuringTheShowFailsEveryLaterCallCleanly)
{
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/ff0000").c_str()));
    ASSERT_TRUE(completions(1));
    ASSERT_TRUE(shows(0xff0000));
    ASSERT_TRUE(endBrowser());
    ASSERT_TRUE(pumpUntil([&] { return FAILED(view.webView->Navigate(pageAddress("/colour/0000ff").c_str())); }));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CONNECTION_ABORTED),
              view.webView->Navigate(pageAddress("/colour/0000ff").c_str()));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CONNECTION_ABORTED), runScript(view.webView.Get(), L"1").result);
    // The last picture stays.
    EXPECT_TRUE(closeTo(pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y), 0xff0000));
    EXPECT_EQ(S_OK, view.controller->Close());
}

TEST(ChromiumProviderStart, ReleasingTheLastEnvironmentEndsTheBrowser)
{
    ChromiumSession session;
    HostWindow host;
    {
        View view;
        ASSERT_NO_FATAL_FAILURE(createView(host.get(), VIEW_BOUNDS, view));
        EXPECT_TRUE(browserAnswers());
        view.controller->Close();
    }
    EXPECT_FALSE(browserAnswers());
}

TEST(ChromiumProviderStart, WithoutTheBrowserVariableTheCallFailsAtOnce)
{
    ChromiumSession session;
    SetEnvironmentVariableA("QV_BROWSER", nullptr);
    bool called = false;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT, ICoreWebView2Environment*) {
            called = true;
            return S_OK;
        });
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ENVVAR_NOT_FOUND),
              CreateCoreWebView2EnvironmentWithOptions(nullptr, userDataFolder().c_str(), nullptr, handler));
    handler->Release();
    EXPECT_FALSE(pumpUntil([&] { return called; }, 300));
}

TEST(ChromiumProviderStart, ABrowserThatNeverAnswersCompletesWithATimeout)
{
    // A program that ends at once and writes no endpoint.
    ChromiumSession session("Z:\\bin\\true");
    HRESULT result = S_OK;
    EXPECT_FALSE(createEnvironment(&result));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT), result);
}
