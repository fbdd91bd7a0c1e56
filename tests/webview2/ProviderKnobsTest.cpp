#include "tests/webview2/ProviderSession.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

using namespace webview2test;

namespace {

constexpr HRESULT NOT_CALLED = 0x7FFFFFFF;

struct StepCase {
    const char* knobs;
    HRESULT environmentCall;
    HRESULT environmentCompleted;
    HRESULT controllerCall;
    HRESULT controllerCompleted;
};

// A refused call completes never; a failed completion hands over no object.
void runSteps(const StepCase& step)
{
    ProviderSession session(step.knobs);
    HostWindow host;
    HRESULT completed = NOT_CALLED;
    ComPtr<ICoreWebView2Environment> environment;
    auto* environmentHandler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Environment* created) {
            completed = status;
            environment.Reset(created);
            return S_OK;
        });
    EXPECT_EQ(step.environmentCall,
              CreateCoreWebView2EnvironmentWithOptions(nullptr, L"C:\\data", nullptr, environmentHandler));
    environmentHandler->Release();
    if (FAILED(step.environmentCall)) {
        pumpFor(100);
        EXPECT_EQ(NOT_CALLED, completed);
        return;
    }
    ASSERT_TRUE(pumpUntil([&] { return completed != NOT_CALLED; }));
    EXPECT_EQ(step.environmentCompleted, completed);
    EXPECT_EQ(SUCCEEDED(step.environmentCompleted), static_cast<bool>(environment));
    if (!environment)
        return;
    completed = NOT_CALLED;
    ComPtr<ICoreWebView2Controller> controller;
    auto* controllerHandler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [&](HRESULT status, ICoreWebView2Controller* created) {
            completed = status;
            controller.Reset(created);
            return S_OK;
        });
    EXPECT_EQ(step.controllerCall, environment->CreateCoreWebView2Controller(host.get(), controllerHandler));
    controllerHandler->Release();
    if (FAILED(step.controllerCall)) {
        pumpFor(100);
        EXPECT_EQ(NOT_CALLED, completed);
        return;
    }
    ASSERT_TRUE(pumpUntil([&] { return completed != NOT_CALLED; }));
    EXPECT_EQ(step.controllerCompleted, completed);
    EXPECT_EQ(SUCCEEDED(step.controllerCompleted), static_cast<bool>(controller));
    EXPECT_EQ(SUCCEEDED(step.controllerCompleted), contentWindowOf(host.get()) != nullptr);
    if (controller)
        controller->Close();
}

} // namespace

TEST(WebView2ProviderKnobs, CreationStepsFailImmediatelyOrInTheCompletion)
{
    const StepCase cases[] = {
        {"", S_OK, S_OK, S_OK, S_OK},
        {"create_environment_hr=0x80004005", E_FAIL, S_OK, S_OK, S_OK},
        {"environment_completed_hr=0x80070005", S_OK, E_ACCESSDENIED, S_OK, S_OK},
        {"create_controller_hr=0x8007000E", S_OK, S_OK, E_OUTOFMEMORY, S_OK},
        {"controller_completed_hr=-2147467260", S_OK, S_OK, S_OK, E_ABORT},
    };
    for (const StepCase& step : cases) {
        SCOPED_TRACE(step.knobs);
        runSteps(step);
    }
}

namespace {

// Counts posted messages it sends itself, TICKS of them one after another. A completion
// the provider posts at once runs among them; a delayed one waits for its timer, and a
// timer fires only when no posted message is queued: after the last tick.
class Ticker {
public:
    static constexpr int TICKS = 5;

    Ticker()
    {
        static const ATOM atom = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = proc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"QvWebView2TestTicker";
            return RegisterClassW(&windowClass);
        }();
        (void)atom;
        window = CreateWindowExW(0, L"QvWebView2TestTicker", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Ticker() { DestroyWindow(window); }
    void start() { PostMessageW(window, WM_APP, 0, 0); }
    int count = 0;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* ticker = reinterpret_cast<Ticker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP && ticker) {
            if (++ticker->count < TICKS)
                PostMessageW(window, WM_APP, 0, 0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window = nullptr;
};

enum class Delayed { Environment, Controller, Navigation, Script };

struct DelayCase {
    const char* knobs;
    Delayed what;
    bool delayed;
};

// The tick count when the completion of `what` arrived.
int ticksBeforeCompletion(const DelayCase& delay)
{
    ProviderSession session(delay.knobs);
    HostWindow host;
    Ticker ticker;
    int seen = -1;
    if (delay.what == Delayed::Environment) {
        auto* handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
            [&](HRESULT, ICoreWebView2Environment*) {
                seen = ticker.count;
                return S_OK;
            });
        EXPECT_EQ(S_OK, CreateCoreWebView2EnvironmentWithOptions(nullptr, L"C:\\data", nullptr, handler));
        handler->Release();
    } else if (delay.what == Delayed::Controller) {
        ComPtr<ICoreWebView2Environment> environment = createEnvironment();
        ComPtr<ICoreWebView2Controller> controller;
        auto* handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
            [&](HRESULT, ICoreWebView2Controller* created) {
                seen = ticker.count;
                if (created)
                    created->Close();
                return S_OK;
            });
        EXPECT_EQ(S_OK, environment->CreateCoreWebView2Controller(host.get(), handler));
        handler->Release();
    }
    View view;
    EventLog log;
    if (delay.what == Delayed::Navigation || delay.what == Delayed::Script)
        createView(host.get(), view);
    if (delay.what == Delayed::Navigation) {
        recordEvents(view.webView.Get(), log);
        EXPECT_EQ(S_OK, view.webView->Navigate(L"https://example.org/"));
    } else if (delay.what == Delayed::Script) {
        auto* handler = Callback<ICoreWebView2ExecuteScriptCompletedHandler>([&](HRESULT, LPCWSTR) {
            seen = ticker.count;
            return S_OK;
        });
        EXPECT_EQ(S_OK, view.webView->ExecuteScript(L"1", handler));
        handler->Release();
    }
    ticker.start();
    EXPECT_TRUE(pumpUntil([&] {
        if (delay.what == Delayed::Navigation && seen < 0 && log.events.size() == 2)
            seen = ticker.count;
        return seen >= 0;
    }));
    if (view.controller)
        view.controller->Close();
    return seen;
}

} // namespace

TEST(WebView2ProviderKnobs, DelaysHoldCompletionsBack)
{
    const DelayCase cases[] = {
        {"", Delayed::Environment, false},
        {"environment_delay_ms=30", Delayed::Environment, true},
        {"", Delayed::Controller, false},
        {"controller_delay_ms=30", Delayed::Controller, true},
        {"", Delayed::Navigation, false},
        {"navigation_delay_ms=30", Delayed::Navigation, true},
        {"", Delayed::Script, false},
        {"script_delay_ms=30", Delayed::Script, true},
    };
    for (const DelayCase& delay : cases) {
        SCOPED_TRACE(std::string(delay.knobs) + " #" + std::to_string(static_cast<int>(delay.what)));
        const int ticks = ticksBeforeCompletion(delay);
        if (delay.delayed)
            EXPECT_EQ(Ticker::TICKS, ticks);
        else
            EXPECT_LT(ticks, Ticker::TICKS);
    }
}

namespace {

struct CallCase {
    const char* knobs;
    HRESULT expected;
    std::function<HRESULT(View&)> call;
};

template <class I>
HRESULT query(IUnknown* object)
{
    ComPtr<I> answered;
    return object->QueryInterface(__uuidof(I), reinterpret_cast<void**>(answered.ReleaseAndGetAddressOf()));
}

HRESULT querySettings(View& view, bool settings5)
{
    ComPtr<ICoreWebView2Settings> settings;
    const HRESULT result = view.webView->get_Settings(settings.ReleaseAndGetAddressOf());
    if (FAILED(result))
        return result;
    return settings5 ? query<ICoreWebView2Settings5>(settings.Get()) : query<ICoreWebView2Settings2>(settings.Get());
}

HRESULT userAgentIs(View& view, const std::string& expected)
{
    ComPtr<ICoreWebView2Settings> settings;
    view.webView->get_Settings(settings.ReleaseAndGetAddressOf());
    ComPtr<ICoreWebView2Settings2> settings2;
    settings->QueryInterface(__uuidof(ICoreWebView2Settings2), reinterpret_cast<void**>(settings2.ReleaseAndGetAddressOf()));
    LPWSTR agent = nullptr;
    settings2->get_UserAgent(&agent);
    const bool same = narrow(agent) == expected;
    CoTaskMemFree(agent);
    return same ? S_OK : E_FAIL;
}

template <class Handler>
HRESULT addNothing(View& view, HRESULT (STDMETHODCALLTYPE ICoreWebView2::*add)(Handler*, EventRegistrationToken*))
{
    auto* handler = Callback<Handler>([](auto...) { return S_OK; });
    EventRegistrationToken token = {};
    const HRESULT result = (view.webView.Get()->*add)(handler, &token);
    handler->Release();
    return result;
}

HRESULT getWebView(View& view)
{
    ComPtr<ICoreWebView2> webView;
    const HRESULT result = view.controller->get_CoreWebView2(webView.ReleaseAndGetAddressOf());
    return SUCCEEDED(result) == static_cast<bool>(webView) ? result : E_UNEXPECTED;
}

} // namespace

TEST(WebView2ProviderKnobs, CallsFailAsTold)
{
    using W = ICoreWebView2;
    const CallCase cases[] = {
        {"", S_OK, getWebView},
        {"get_corewebview2_hr=0x80004005", E_FAIL, getWebView},
        {"", S_OK, [](View& v) { return query<ICoreWebView2_8>(v.webView.Get()); }},
        {"webview8_query_hr=0x80004002", E_NOINTERFACE, [](View& v) { return query<ICoreWebView2_8>(v.webView.Get()); }},
        {"webview8_query_hr=0x80004002", S_OK, [](View& v) { return query<ICoreWebView2>(v.webView.Get()); }},
        {"add_navigation_starting_hr=0x80004005", E_FAIL,
         [](View& v) { return addNothing<ICoreWebView2NavigationStartingEventHandler>(v, &W::add_NavigationStarting); }},
        {"add_navigation_starting_hr=0x80004005", S_OK,
         [](View& v) { return addNothing<ICoreWebView2NavigationCompletedEventHandler>(v, &W::add_NavigationCompleted); }},
        {"add_navigation_completed_hr=0x80004005", E_FAIL,
         [](View& v) { return addNothing<ICoreWebView2NavigationCompletedEventHandler>(v, &W::add_NavigationCompleted); }},
        {"add_web_resource_requested_hr=0x80070057", E_INVALIDARG,
         [](View& v) {
             return addNothing<ICoreWebView2WebResourceRequestedEventHandler>(v, &W::add_WebResourceRequested);
         }},
        {"add_window_close_requested_hr=0x80004005", E_FAIL,
         [](View& v) {
             return addNothing<ICoreWebView2WindowCloseRequestedEventHandler>(v, &W::add_WindowCloseRequested);
         }},
        {"", S_OK, [](View& v) { return querySettings(v, true); }},
        {"get_settings_hr=0x80004005", E_FAIL, [](View& v) { return querySettings(v, false); }},
        {"no_settings2=1", E_NOINTERFACE, [](View& v) { return querySettings(v, false); }},
        {"no_settings2=1", E_NOINTERFACE, [](View& v) { return querySettings(v, true); }},
        {"no_settings5=1", S_OK, [](View& v) { return querySettings(v, false); }},
        {"no_settings5=1", E_NOINTERFACE, [](View& v) { return querySettings(v, true); }},
        {"user_agent=Custom Agent/1.0", S_OK, [](View& v) { return userAgentIs(v, "Custom Agent/1.0"); }},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(c.knobs);
        ProviderSession session(c.knobs);
        HostWindow host;
        View view;
        if (std::string(c.knobs).find("get_corewebview2_hr") == std::string::npos) {
            ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
        } else {
            // The view's WebView2 object cannot be had: only the controller.
            ComPtr<ICoreWebView2Environment> environment = createEnvironment();
            ASSERT_TRUE(environment);
            auto* handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
                [&](HRESULT, ICoreWebView2Controller* created) {
                    view.controller.Reset(created);
                    return S_OK;
                });
            ASSERT_EQ(S_OK, environment->CreateCoreWebView2Controller(host.get(), handler));
            handler->Release();
            ASSERT_TRUE(pumpUntil([&] { return static_cast<bool>(view.controller); }));
        }
        EXPECT_EQ(c.expected, c.call(view));
        view.controller->Close();
    }
}

namespace {

struct NavigationCase {
    const char* knobs;
    const wchar_t* address;
    const wchar_t* filter;
    std::vector<std::string> events;
};

} // namespace

TEST(WebView2ProviderKnobs, NavigationsGoAsTold)
{
    const NavigationCase cases[] = {
        {"", L"https://a/", L"*", {"starting:0:https://a/", "completed:1:0"}},
        {"navigation_success=0", L"https://a/", L"*", {"starting:0:https://a/", "completed:0:12"}},
        {"navigation_success=0\nweb_error_status=7", L"https://a/", L"*", {"starting:0:https://a/", "completed:0:7"}},
        {"fail_navigation=https://a/", L"https://a/", L"*", {"starting:0:https://a/", "completed:0:12"}},
        {"fail_navigation=https://a/", L"https://b/", L"*", {"starting:0:https://b/", "completed:1:0"}},
        {"fail_navigation=https://a/*", L"https://a/x", L"*", {"starting:0:https://a/x", "completed:0:12"}},
        {"navigation_success=0\nsucceed_navigation=https://a/", L"https://a/", L"*",
         {"starting:0:https://a/", "completed:1:0"}},
        {"redirect=https://a/", L"https://a/", L"*",
         {"starting:0:https://a/", "starting:1:https://a/", "completed:1:0"}},
        {"request=mem://localhost:1/feed\nrequest=https://img/x.png", L"https://a/", L"*",
         {"starting:0:https://a/", "completed:1:0", "requested:mem://localhost:1/feed", "requested:https://img/x.png"}},
        {"request=mem://localhost:1/feed\nrequest=https://img/x.png", L"https://a/", L"mem://*",
         {"starting:0:https://a/", "completed:1:0", "requested:mem://localhost:1/feed"}},
        {"request=mem://localhost:1/feed\nfail_navigation=https://a/", L"https://a/", L"*",
         {"starting:0:https://a/", "completed:0:12"}},
        {"close_request_after_ms=10", L"https://a/", L"*", {"starting:0:https://a/", "completed:1:0", "close"}},
    };
    for (const NavigationCase& c : cases) {
        SCOPED_TRACE(c.knobs);
        ProviderSession session(c.knobs);
        HostWindow host;
        View view;
        ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
        EventLog log;
        ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log, c.filter));
        ASSERT_EQ(S_OK, view.webView->Navigate(c.address));
        EXPECT_TRUE(pumpUntil([&] { return log.events.size() >= c.events.size(); }));
        pumpFor(60);
        EXPECT_EQ(c.events, log.events);
        view.controller->Close();
    }
}

// The close request comes once, after the first page only.
TEST(WebView2ProviderKnobs, CloseRequestComesOnce)
{
    ProviderSession session("close_request_after_ms=0");
    HostWindow host;
    View view;
    ASSERT_NO_FATAL_FAILURE(createView(host.get(), view));
    EventLog log;
    ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://a/"));
    ASSERT_TRUE(pumpUntil([&] { return log.events.size() >= 3; }));
    ASSERT_EQ(S_OK, view.webView->Navigate(L"https://b/"));
    ASSERT_TRUE(pumpUntil([&] { return log.events.size() >= 5; }));
    pumpFor(60);
    EXPECT_EQ((std::vector<std::string>{"starting:0:https://a/", "completed:1:0", "close", "starting:0:https://b/",
                                        "completed:1:0"}),
              log.events);
    view.controller->Close();
}
