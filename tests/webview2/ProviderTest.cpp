#include "tests/webview2/ProviderSession.h"
#include "tests/webview2/ViewSupport.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

using namespace webview2test;
using viewsupport::pixelOf;

namespace {

constexpr RECT SMALL_BOUNDS = {8, 8, 48, 40};

} // namespace

TEST(WebView2Provider, EnvironmentCompletesOnlyWhenTheCallingThreadPumps)
{
    ProviderSession session;
    bool called = false;
    DWORD thread = 0;
    HRESULT result = E_PENDING;
    ComPtr<ICoreWebView2Environment> environment;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Environment* created) {
            called = true;
            thread = GetCurrentThreadId();
            result = status;
            environment.Reset(created);
            return S_OK;
        });
    ASSERT_EQ(S_OK, CreateCoreWebView2EnvironmentWithOptions(nullptr, L"C:\\data", nullptr, handler));
    handler->Release();
    EXPECT_FALSE(called);
    ASSERT_TRUE(pumpUntil([&] { return called; }));
    EXPECT_EQ(GetCurrentThreadId(), thread);
    EXPECT_EQ(S_OK, result);
    EXPECT_TRUE(environment);
}

TEST(WebView2Provider, ControllerCompletesOnlyWhenTheCallingThreadPumps)
{
    ProviderSession session;
    HostWindow host;
    ComPtr<ICoreWebView2Environment> environment = createEnvironment();
    ASSERT_TRUE(environment);
    bool called = false;
    DWORD thread = 0;
    ComPtr<ICoreWebView2Controller> controller;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Controller* created) {
            called = true;
            thread = GetCurrentThreadId();
            controller.Reset(created);
            return S_OK;
        });
    ASSERT_EQ(S_OK, environment->CreateCoreWebView2Controller(host.get(), handler));
    handler->Release();
    EXPECT_FALSE(called);
    ASSERT_TRUE(pumpUntil([&] { return called; }));
    EXPECT_EQ(GetCurrentThreadId(), thread);
    ASSERT_TRUE(controller);
    controller->Close();
}

TEST(WebView2Provider, NavigationRaisesStartingThenCompletedAfterTheCall)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/a"));
    EXPECT_TRUE(log.events.empty());
    ASSERT_TRUE(pumpUntil([&] { return log.events.size() >= 2; }));
    pumpFor(50);
    EXPECT_EQ((std::vector<std::string>{"starting:0:https://example.org/a", "completed:1:0"}), log.events);
    EXPECT_EQ(GetCurrentThreadId(), log.lastThread);
    LPWSTR source = nullptr;
    ASSERT_EQ(S_OK, view.webView->get_Source(&source));
    EXPECT_EQ("https://example.org/a", narrow(source));
    CoTaskMemFree(source);
    view.controller->Close();
}

TEST(WebView2Provider, NavigateToStringNavigatesToTheText)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    ASSERT_EQ(S_OK, view.webView->NavigateToString(L"<p>hello</p>"));
    EXPECT_TRUE(log.events.empty());
    ASSERT_TRUE(pumpUntil([&] { return log.events.size() >= 2; }));
    EXPECT_EQ((std::vector<std::string>{"starting:0:<p>hello</p>", "completed:1:0"}), log.events);
    view.controller->Close();
}

TEST(WebView2Provider, AddressWithoutSchemeIsRefusedWithoutEvents)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    for (const wchar_t* address : {L"", L"example.org/page", L"://example.org", L"1http://x", L"ht tp://x"})
        EXPECT_EQ(E_INVALIDARG, view.webView->Navigate(address)) << narrow(address);
    EXPECT_EQ(E_INVALIDARG, view.webView->Navigate(nullptr));
    pumpFor(150);
    EXPECT_TRUE(log.events.empty());
    view.controller->Close();
}

TEST(WebView2Provider, NoHandlerRunsAfterClose)
{
    ProviderSession session("request=mem://feed\nclose_request_after_ms=0\n");
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    bool scriptDone = false;
    auto* script = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT, LPCWSTR) {
        scriptDone = true;
        return S_OK;
    });
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/"));
    ASSERT_EQ(S_OK, view.webView->ExecuteScript(L"1", script));
    script->Release();
    ASSERT_EQ(S_OK, view.controller->Close());
    pumpFor(200);
    EXPECT_TRUE(log.events.empty());
    EXPECT_FALSE(scriptDone);
}

// Close between the events of one navigation drops the rest of it.
TEST(WebView2Provider, CloseBetweenEventsDropsTheRest)
{
    ProviderSession session("navigation_delay_ms=100\n");
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/"));
    ASSERT_TRUE(pumpUntil([&] { return !log.events.empty(); }));
    ASSERT_EQ(S_OK, view.controller->Close());
    pumpFor(300);
    EXPECT_EQ((std::vector<std::string>{"starting:0:https://example.org/"}), log.events);
}

TEST(WebView2Provider, CloseAfterTheHostIsGoneIsHarmless)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    const HWND content = contentWindowOf(host.get());
    ASSERT_NE(nullptr, content);
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/"));
    host.destroy();
    EXPECT_EQ(S_OK, view.controller->Close());
    EXPECT_FALSE(IsWindow(content));
    pumpFor(100);
    view.webView.Reset();
    view.controller.Reset();
}

TEST(WebView2Provider, ContentWindowIsHiddenUntilMadeVisibleAndPlacedByBounds)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    const HWND content = contentWindowOf(host.get());
    ASSERT_NE(nullptr, content);
    EXPECT_FALSE(IsWindowVisible(content));
    ASSERT_EQ(S_OK, view.controller->put_Bounds(SMALL_BOUNDS));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/"));
    pumpFor(50);
    EXPECT_FALSE(IsWindowVisible(content));
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(TRUE));
    EXPECT_TRUE(IsWindowVisible(content));
    RECT placed;
    GetWindowRect(content, &placed);
    MapWindowPoints(nullptr, host.get(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(SMALL_BOUNDS.left, placed.left);
    EXPECT_EQ(SMALL_BOUNDS.top, placed.top);
    EXPECT_EQ(SMALL_BOUNDS.right, placed.right);
    EXPECT_EQ(SMALL_BOUNDS.bottom, placed.bottom);
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(FALSE));
    EXPECT_FALSE(IsWindowVisible(content));
    view.controller->Close();
}

// Input over the page goes to another thread, as with a browser process.
TEST(WebView2Provider, ContentWindowBelongsToAnotherThread)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    const HWND content = contentWindowOf(host.get());
    ASSERT_NE(nullptr, content);
    const DWORD thread = GetWindowThreadProcessId(content, nullptr);
    EXPECT_NE(0u, thread);
    EXPECT_NE(GetCurrentThreadId(), thread);
    view.controller->Close();
    EXPECT_EQ(nullptr, contentWindowOf(host.get()));
}

TEST(WebView2Provider, PaintedColourFollowsTheAddress)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    const HWND content = contentWindowOf(host.get());
    ASSERT_NE(nullptr, content);
    ASSERT_EQ(S_OK, view.controller->put_Bounds(SMALL_BOUNDS));
    ASSERT_EQ(S_OK, view.controller->put_IsVisible(TRUE));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://first.example/"));
    const COLORREF first = pixelOf(content, 1, 1);
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://second.example/"));
    const COLORREF second = pixelOf(content, 1, 1);
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://first.example/"));
    const COLORREF again = pixelOf(content, 1, 1);
    EXPECT_NE(first, second);
    EXPECT_EQ(first, again);
    // Painted, not the host's white nor an unpainted black.
    EXPECT_NE(RGB(255, 255, 255), first);
    EXPECT_NE(RGB(0, 0, 0), first);
    view.controller->Close();
}

TEST(WebView2Provider, ExecuteScriptCompletesWithNullLater)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    bool called = false;
    HRESULT result = E_FAIL;
    std::string json;
    DWORD thread = 0;
    auto* handler = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT status, LPCWSTR text) {
        called = true;
        result = status;
        json = narrow(text);
        thread = GetCurrentThreadId();
        return S_OK;
    });
    const std::wstring script = L"json_decode({" + std::wstring(300, L'x') + L"})";
    ASSERT_EQ(S_OK, view.webView->ExecuteScript(script.c_str(), handler));
    handler->Release();
    EXPECT_FALSE(called);
    ASSERT_TRUE(pumpUntil([&] { return called; }));
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ("null", json);
    EXPECT_EQ(GetCurrentThreadId(), thread);
    const auto calls = session.journalCalls("ExecuteScript");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("script=" + narrow(script.substr(0, 200).c_str()), calls[0][2]);
    EXPECT_EQ("length=" + std::to_string(script.size()), calls[0][3]);
    view.controller->Close();
}

TEST(WebView2Provider, MuteStateBackgroundColourAndSettingsAreKept)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    ComPtr<ICoreWebView2_8> webView8;
    ASSERT_EQ(S_OK, view.webView->QueryInterface(__uuidof(ICoreWebView2_8),
                                                 reinterpret_cast<void**>(webView8.ReleaseAndGetAddressOf())));
    BOOL muted = TRUE;
    ASSERT_EQ(S_OK, webView8->get_IsMuted(&muted));
    EXPECT_FALSE(muted);
    ASSERT_EQ(S_OK, webView8->put_IsMuted(TRUE));
    ASSERT_EQ(S_OK, webView8->get_IsMuted(&muted));
    EXPECT_TRUE(muted);

    ComPtr<ICoreWebView2Controller2> controller2;
    ASSERT_EQ(S_OK, view.controller->QueryInterface(__uuidof(ICoreWebView2Controller2),
                                                    reinterpret_cast<void**>(controller2.ReleaseAndGetAddressOf())));
    COREWEBVIEW2_COLOR colour = {};
    ASSERT_EQ(S_OK, controller2->get_DefaultBackgroundColor(&colour));
    EXPECT_EQ(255, colour.A);
    EXPECT_EQ(255, colour.R);
    ASSERT_EQ(S_OK, controller2->put_DefaultBackgroundColor({0, 1, 2, 3}));
    ASSERT_EQ(S_OK, controller2->get_DefaultBackgroundColor(&colour));
    EXPECT_EQ(0, colour.A);
    EXPECT_EQ(3, colour.B);

    ComPtr<ICoreWebView2Settings> settings;
    ASSERT_EQ(S_OK, view.webView->get_Settings(settings.ReleaseAndGetAddressOf()));
    ASSERT_EQ(S_OK, settings->put_AreDefaultContextMenusEnabled(FALSE));
    BOOL value = TRUE;
    ASSERT_EQ(S_OK, settings->get_AreDefaultContextMenusEnabled(&value));
    EXPECT_FALSE(value);
    ComPtr<ICoreWebView2Settings5> settings5;
    ASSERT_EQ(S_OK, settings->QueryInterface(__uuidof(ICoreWebView2Settings5),
                                             reinterpret_cast<void**>(settings5.ReleaseAndGetAddressOf())));
    ASSERT_EQ(S_OK, settings5->put_IsPinchZoomEnabled(FALSE));
    ASSERT_EQ(S_OK, settings5->get_IsPinchZoomEnabled(&value));
    EXPECT_FALSE(value);
    LPWSTR agent = nullptr;
    ASSERT_EQ(S_OK, settings5->get_UserAgent(&agent));
    EXPECT_EQ("Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/140.0.0.0 Safari/537.36 Edg/140.0.0.0",
              narrow(agent));
    CoTaskMemFree(agent);
    ASSERT_EQ(S_OK, settings5->put_UserAgent(L"A B"));
    ASSERT_EQ(S_OK, settings5->get_UserAgent(&agent));
    EXPECT_EQ("A B", narrow(agent));
    CoTaskMemFree(agent);
    view.controller->Close();
}

TEST(WebView2Provider, JournalHoldsOneLinePerCall)
{
    ProviderSession session;
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    ASSERT_EQ(S_OK, view.controller->put_Bounds(SMALL_BOUNDS));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://example.org/\tx"));
    ASSERT_EQ(S_OK, view.controller->Close());

    const auto environments = session.journalCalls("CreateEnvironment");
    ASSERT_EQ(1u, environments.size());
    const std::vector<std::string>& creation = environments[0];
    ASSERT_EQ(8u, creation.size());
    EXPECT_EQ("env", creation[0].substr(0, 3));
    EXPECT_EQ("browserFolder=", creation[2]);
    EXPECT_EQ("userDataFolder=C:\\users\\qv\\Temp\\test.scr", creation[3]);
    EXPECT_EQ("targetVersion=140.0.3485.44", creation[4]);
    EXPECT_EQ("arguments=--autoplay-policy=no-user-gesture-required", creation[5]);

    const auto controllers = session.journalCalls("CreateCoreWebView2Controller");
    ASSERT_EQ(1u, controllers.size());
    EXPECT_EQ(creation[0], controllers[0][0]);
    const std::string who = "view" + controllers[0][2].substr(std::string("view=").size());
    const auto bounds = session.journalCalls("put_Bounds");
    ASSERT_EQ(1u, bounds.size());
    EXPECT_EQ(who, bounds[0][0]);
    EXPECT_EQ("bounds=8,8,48,40", bounds[0][2]);
    const auto navigations = session.journalCalls("Navigate");
    ASSERT_EQ(1u, navigations.size());
    EXPECT_EQ(who, navigations[0][0]);
    EXPECT_EQ("uri=https://example.org/\\tx", navigations[0][2]);
    ASSERT_EQ(1u, session.journalCalls("Close").size());
    EXPECT_EQ(who, session.journalCalls("Close")[0][0]);
}
