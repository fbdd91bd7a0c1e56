#include "qvedge/views/edge/WebView2Wrapper.h"

#include "common/Logger.h"
#include "framework/CException.h"
#include "framework/TextConversion.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/views/edge/WebView2Handler.h"
#include "webview2/loader/CoreWebView2EnvironmentOptions.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

CreateEnvironmentEntry createWebView2Environment = CreateCoreWebView2EnvironmentWithOptions;

namespace {

constexpr const char* EDGE_TOKEN = "Edg/";
constexpr COREWEBVIEW2_COLOR TRANSPARENT_BACKGROUND = {0, 0, 0, 0};

} // namespace

CString userAgentWithoutEdge(const CString& userAgent)
{
    const int token = userAgent.Find(EDGE_TOKEN);
    if (token < 0)
        return userAgent;
    const int blank = userAgent.Find(' ', token);
    if (blank < 0)
        return token == 0 ? CString() : userAgent.Left(token - 1);
    CString result = userAgent;
    const CString tokenAndBlank = userAgent.Mid(token, blank - token + 1);
    result.Replace(tokenAndBlank, "");
    return result;
}

bool needsUserAgentEdit(const CString& address)
{
    for (const char* pattern : USER_AGENT_HOST_PATTERNS) {
        if (address.Find(pattern) >= 0)
            return true;
    }
    return false;
}

CString webView2UserDataFolder(const CString& tempPath, const CString& programPath)
{
    const int separator = std::max(programPath.ReverseFind('\\'), programPath.ReverseFind('/'));
    return tempPath + programPath.Mid(separator + 1);
}

int loggedFileType(int libstdcxxFileType)
{
    using std::filesystem::file_type;
    switch (static_cast<file_type>(libstdcxxFileType)) {
    case file_type::none: return 0;
    case file_type::not_found: return 1;
    case file_type::regular: return 2;
    case file_type::directory: return 3;
    case file_type::symlink: return 4;
    case file_type::block: return 5;
    case file_type::character: return 6;
    case file_type::fifo: return 7;
    case file_type::socket: return 8;
    case file_type::unknown: return 9;
    }
    return libstdcxxFileType;
}

std::wstring wideFromAnsi(const CString& text, UINT codePage)
{
    if (text.IsEmpty())
        return std::wstring();
    const int length = text.GetLength();
    const int size = MultiByteToWideChar(codePage, 0, text.GetString(), length, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.GetString(), length, &wide[0], size);
    return wide;
}

long elapsedMs(WebView2Clock::time_point from, WebView2Clock::time_point to)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

WebView2Wrapper::WebView2Wrapper() = default;

WebView2Wrapper::~WebView2Wrapper()
{
    pageBuffer.reset();
    // The request before its session: WinINet frees a session's requests with it.
    if (httpFile)
        httpFile->Close();
    httpFile.reset();
    if (internetSession)
        internetSession->Close();
    internetSession.reset();
    webView.Reset();
    controller.Reset();
    environment.Reset();
}

void WebView2Wrapper::reportLoaded(bool success)
{
    PostMessageA(hostWindow, WM_WebPageLoaded, static_cast<WPARAM>(viewIndex), success ? 1 : 0);
}

template <class Step>
HRESULT WebView2Wrapper::guardedStep(const char* label, Step step)
{
    // Nothing may escape to the runtime (or the dialog's window procedure): the view
    // reports failure instead, so the show falls back to the other engine.
    HRESULT failure = E_UNEXPECTED;
    try {
        return step();
    } catch (const CMemoryException&) {
        failure = E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        failure = E_OUTOFMEMORY;
    } catch (const CInternetException& e) {
        failure = HRESULT_FROM_WIN32(e.error);
    } catch (...) {
    }
    try {
        QVLOG_AS(label, "WebView2Wrapper exception " << static_cast<long>(failure));
    } catch (...) {
    }
    reportLoaded(false);
    return failure;
}

void WebView2Wrapper::initializeWebView2(HWND host, int index, CString text, bool address)
{
    hostWindow = host;
    viewIndex = index;
    guardedStep("initializeWebView2", [&] {
        content = text;
        isUrl = address;
        QVLOG_AS("initializeWebView2", "WebView2Wrapper::initializeWebView2 " << viewIndex);
        char tempPath[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tempPath);
        char programPath[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, programPath, MAX_PATH);
        startTime = WebView2Clock::now();

        const CString folder = webView2UserDataFolder(tempPath, programPath);
        QVLOG_AS("initializeWebView2", "WebView2 temp folder is " << folder);
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(folder.str(), error);
        QVLOG_AS("initializeWebView2", "WebView2 temp folder status "
                                           << loggedFileType(static_cast<int>(status.type())) << " error : "
                                           << error.category().name() << ":" << error.value());
        navigationContent = content;

        // The C library's conversion in the process's C locale; a longer path is cut.
        wchar_t wideFolder[MAX_PATH + 1] = {};
        const size_t converted = std::mbstowcs(wideFolder, folder.GetString(), MAX_PATH);
        wideFolder[MAX_PATH] = L'\0';
        // A folder that cannot be converted leaves the choice to the runtime.
        const wchar_t* userDataFolder = converted == static_cast<size_t>(-1) ? nullptr : wideFolder;

        ComPtr<ICoreWebView2EnvironmentOptions> options;
        *options.ReleaseAndGetAddressOf() = CoreWebView2EnvironmentOptions::Create();
        if (!options)
            throw std::bad_alloc();
        options->put_AdditionalBrowserArguments(WEBVIEW2_BROWSER_ARGUMENTS);
        HRESULT result;
        {
            ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> handler =
                newHandler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
                    [this](HRESULT r, ICoreWebView2Environment* e) { return OnCreateEnvironmentCompleted(r, e); });
            result = createWebView2Environment(nullptr, userDataFolder, options.Get(), handler.Get());
        }
        if (FAILED(result)) {
            QVLOG_AS("initializeWebView2", "Failed to create webview environment " << static_cast<long>(result));
            reportLoaded(false);
        } else {
            QVLOG_AS("initializeWebView2", "Initialize WebView ready");
        }
        return result;
    });
}

HRESULT WebView2Wrapper::OnCreateEnvironmentCompleted(HRESULT result, ICoreWebView2Environment* created)
{
    static constexpr const char* label = "OnCreateEnvironmentCompleted";
    return guardedStep(label, [&]() -> HRESULT {
        if (FAILED(result) || !created) {
            const HRESULT failure = FAILED(result) ? result : E_POINTER;
            QVLOG_AS(label, "Failed to create webview environment " << static_cast<long>(failure));
            reportLoaded(false);
            return failure;
        }
        environment.Reset(created);
        environmentTime = WebView2Clock::now();
        QVLOG_AS(label, "WebView #" << viewIndex << static_cast<long>(result) << "Environment "
                                    << elapsedMs(startTime, environmentTime) << "ms");
        HRESULT hr;
        {
            ComPtr<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler> handler =
                newHandler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
                    [this](HRESULT r, ICoreWebView2Controller* c) {
                        return OnCreateCoreWebView2ControllerCompleted(r, c);
                    });
            hr = environment->CreateCoreWebView2Controller(hostWindow, handler.Get());
        }
        if (FAILED(hr)) {
            QVLOG_AS(label, "Failed to create webview environment2 " << static_cast<long>(hr));
            reportLoaded(false);
            return hr;
        }
        QVLOG_AS(label, "OnCreateEnvironmentCompleted ready");
        return S_OK;
    });
}

HRESULT WebView2Wrapper::OnCreateCoreWebView2ControllerCompleted(HRESULT result, ICoreWebView2Controller* created)
{
    static constexpr const char* label = "OnCreateCoreWebView2ControllerCompleted";
    controllerTime = WebView2Clock::now();
    return guardedStep(label, [&]() -> HRESULT {
        if (FAILED(result) || !created) {
            const HRESULT failure = FAILED(result) ? result : E_POINTER;
            QVLOG_AS(label, "WebView2Wrapper::OnCreateCoreWebView2ControllerCompleted() error "
                                << static_cast<long>(failure));
            reportLoaded(false);
            return failure;
        }
        controller.Reset(created);

        ComPtr<ICoreWebView2> core;
        HRESULT hr = controller->get_CoreWebView2(core.ReleaseAndGetAddressOf());
        if (SUCCEEDED(hr) && !core)
            hr = E_POINTER;
        if (FAILED(hr)) {
            QVLOG_AS(label, "get_CoreWebView2() error " << static_cast<long>(hr));
            return hr;
        }
        // The dialog mutes the views through this interface: without it the view cannot
        // be kept quiet, so it reports failure and the show falls back.
        hr = core->QueryInterface(__uuidof(ICoreWebView2_8), reinterpret_cast<void**>(webView.ReleaseAndGetAddressOf()));
        if (SUCCEEDED(hr) && !webView)
            hr = E_NOINTERFACE;
        if (FAILED(hr)) {
            QVLOG_AS(label, "QueryInterface(ICoreWebView2_8) error " << static_cast<long>(hr));
            reportLoaded(false);
            return hr;
        }

        // Transparent while the first page loads; NavigationCompleted puts the colour back.
        ComPtr<ICoreWebView2Controller2> colours;
        if (SUCCEEDED(controller->QueryInterface(__uuidof(ICoreWebView2Controller2),
                                                 reinterpret_cast<void**>(colours.ReleaseAndGetAddressOf()))) &&
            colours) {
            colours->get_DefaultBackgroundColor(&savedBackgroundColor);
            colours->put_DefaultBackgroundColor(TRANSPARENT_BACKGROUND);
        }

        hr = registerEventHandlers();
        if (FAILED(hr))
            return hr;

        ComPtr<ICoreWebView2Settings> settings;
        if (FAILED(webView->get_Settings(settings.ReleaseAndGetAddressOf())))
            settings.Reset();
        if (settings) {
            settings->put_AreDefaultContextMenusEnabled(FALSE);
            settings->put_IsZoomControlEnabled(FALSE);
            ComPtr<ICoreWebView2Settings5> settings5;
            if (SUCCEEDED(settings->QueryInterface(__uuidof(ICoreWebView2Settings5),
                                                   reinterpret_cast<void**>(settings5.ReleaseAndGetAddressOf()))) &&
                settings5)
                settings5->put_IsPinchZoomEnabled(FALSE);
        }

        controller->put_Bounds(bounds);
        controller->put_IsVisible(FALSE);

        if (isUrl) {
            QVLOG_AS(label, "Set url: " << content);
            if (needsUserAgentEdit(content) && settings)
                applyUserAgentEdit(settings.Get());
            QVLOG_AS(label, "CQuorvelVw2::initializeWebView2() do navigate " << content);
            navigationTime = WebView2Clock::now();
            webView->Navigate(wideFromAnsi(navigationContent, CP_THREAD_ACP).c_str());
        } else {
            const std::wstring page = wideFromAnsi(navigationContent, CP_THREAD_ACP);
            QVLOG_AS(label, "WebView2Wrapper::OnCreateCoreWebView2ControllerCompleted() do navigateToString");
            webView->NavigateToString(page.c_str());
        }

        {
            ComPtr<ICoreWebView2WindowCloseRequestedEventHandler> handler =
                newHandler<ICoreWebView2WindowCloseRequestedEventHandler>(
                    [this](ICoreWebView2* sender, IUnknown* args) { return OnWindowCloseRequested(sender, args); });
            EventRegistrationToken unused;
            webView->add_WindowCloseRequested(handler.Get(), &unused);
        }
        return S_OK;
    });
}

HRESULT WebView2Wrapper::registerEventHandlers()
{
    static constexpr const char* label = "OnCreateCoreWebView2ControllerCompleted";
    HRESULT hr;
    {
        ComPtr<ICoreWebView2NavigationStartingEventHandler> handler =
            newHandler<ICoreWebView2NavigationStartingEventHandler>(
                [this](ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) {
                    return OnNavigationStarting(sender, args);
                });
        hr = webView->add_NavigationStarting(handler.Get(), &navigationStartingToken);
    }
    if (FAILED(hr)) {
        QVLOG_AS(label, "add_NavigationStarting() error " << static_cast<long>(hr));
        return hr;
    }
    {
        ComPtr<ICoreWebView2NavigationCompletedEventHandler> handler =
            newHandler<ICoreWebView2NavigationCompletedEventHandler>(
                [this](ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) {
                    return OnNavigationCompleted(sender, args);
                });
        hr = webView->add_NavigationCompleted(handler.Get(), &navigationCompletedToken);
    }
    if (FAILED(hr)) {
        QVLOG_AS(label, "add_NavigationCompleted() error " << static_cast<long>(hr));
        return hr;
    }
    webView->AddWebResourceRequestedFilter(L"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    {
        ComPtr<ICoreWebView2WebResourceRequestedEventHandler> handler =
            newHandler<ICoreWebView2WebResourceRequestedEventHandler>(
                [this](ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) {
                    return OnWebResourceRequested(sender, args);
                });
        hr = webView->add_WebResourceRequested(handler.Get(), &webResourceRequestedToken);
    }
    if (FAILED(hr)) {
        QVLOG_AS(label, "add_WebResourceRequested() error " << static_cast<long>(hr));
        return hr;
    }
    return S_OK;
}

void WebView2Wrapper::applyUserAgentEdit(ICoreWebView2Settings* settings)
{
    ComPtr<ICoreWebView2Settings2> settings2;
    if (FAILED(settings->QueryInterface(__uuidof(ICoreWebView2Settings2),
                                        reinterpret_cast<void**>(settings2.ReleaseAndGetAddressOf()))) ||
        !settings2)
        return;
    CoTaskMemText current;
    // An agent that cannot be read is not written over with an empty one.
    if (FAILED(settings2->get_UserAgent(current.Out())) || !current.Get())
        return;
    const CString edited = userAgentWithoutEdge(narrowFromWide(current.Get()));
    QVLOG_AS("OnCreateCoreWebView2ControllerCompleted", "User agent: " << edited);
    settings2->put_UserAgent(wideFromAnsi(edited, CP_THREAD_ACP).c_str());
}
