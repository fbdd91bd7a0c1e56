#include "tests/webview2/ProviderSession.h"

#include "tests/webview2/ViewSupport.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"
#include "webview2/testprovider/ContentWindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace webview2test {

namespace {

// Long enough for any completion of a test; the pump returns as soon as it has one.
constexpr DWORD PUMP_LIMIT_MS = 10000;
constexpr const wchar_t* HOST_CLASS = L"QvWebView2TestHost";
// The user-data folder the views are made with.
constexpr const wchar_t* USER_DATA_FOLDER = L"C:\\users\\qv\\Temp\\test.scr";

int sessionCount = 0;

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

} // namespace

std::string workspaceFolder()
{
    static const std::string folder = viewsupport::processFolder("qv-webview2-");
    return folder;
}

std::string workspaceProvider()
{
    static const std::string path = viewsupport::copyProvider(QV_TEST_PROVIDER_DLL, workspaceFolder());
    return path;
}

ProviderSession::ProviderSession(const std::string& knobs)
{
    const std::string number = std::to_string(++sessionCount);
    knobPath = workspaceFolder() + "knobs-" + number + ".txt";
    journalPath = workspaceFolder() + "journal-" + number + ".txt";
    writeFile(knobPath, knobs);
    DeleteFileA(journalPath.c_str());
    SetEnvironmentVariableA("QV_RUNTIME_KNOBS", knobPath.c_str());
    SetEnvironmentVariableA("QV_RUNTIME_JOURNAL", journalPath.c_str());
    setWebView2ProviderPath(workspaceProvider());
}

ProviderSession::~ProviderSession()
{
    setWebView2ProviderPath("");
    SetEnvironmentVariableA("QV_RUNTIME_KNOBS", nullptr);
    SetEnvironmentVariableA("QV_RUNTIME_JOURNAL", nullptr);
    DeleteFileA(knobPath.c_str());
    DeleteFileA(journalPath.c_str());
}

std::vector<std::string> ProviderSession::journalLines() const
{
    std::ifstream file(journalPath, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::vector<std::string>> ProviderSession::journalCalls(const std::string& method) const
{
    std::vector<std::vector<std::string>> calls;
    for (const std::string& line : journalLines()) {
        std::vector<std::string> fields;
        std::stringstream stream(line);
        std::string field;
        while (std::getline(stream, field, '\t'))
            fields.push_back(field);
        if (fields.size() >= 2 && fields[1] == method)
            calls.push_back(fields);
    }
    return calls;
}

void pumpFor(unsigned ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& done)
{
    return viewsupport::pumpUntil(done, PUMP_LIMIT_MS);
}

HostWindow::HostWindow()
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = HOST_CLASS;
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    window = CreateWindowExW(WS_EX_TOOLWINDOW, HOST_CLASS, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             160, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow()
{
    destroy();
}

void HostWindow::destroy()
{
    if (window)
        DestroyWindow(window);
    window = nullptr;
}

HWND contentWindowOf(HWND host)
{
    return FindWindowExW(host, nullptr, CONTENT_WINDOW_CLASS, nullptr);
}

ComPtr<ICoreWebView2Environment> createEnvironment(HRESULT* result)
{
    return viewsupport::createEnvironment(USER_DATA_FOLDER, PUMP_LIMIT_MS, result);
}

void createView(HWND host, View& view)
{
    ASSERT_NO_FATAL_FAILURE(
        viewsupport::createController(host, USER_DATA_FOLDER, PUMP_LIMIT_MS, view.environment, view.controller));
    ASSERT_EQ(S_OK, view.controller->get_CoreWebView2(view.webView.ReleaseAndGetAddressOf()));
}

std::string narrow(LPCWSTR text)
{
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

void recordEvents(ICoreWebView2* webView, EventLog& log, LPCWSTR filter)
{
    EventRegistrationToken token = {};
    auto* starting = Callback<ICoreWebView2NavigationStartingEventHandler>(
        [&log](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
            BOOL redirected = FALSE;
            LPWSTR uri = nullptr;
            args->get_IsRedirected(&redirected);
            args->get_Uri(&uri);
            log.events.push_back("starting:" + std::to_string(redirected) + ":" + narrow(uri));
            CoTaskMemFree(uri);
            log.lastThread = GetCurrentThreadId();
            return S_OK;
        });
    ASSERT_EQ(S_OK, webView->add_NavigationStarting(starting, &token));
    starting->Release();
    auto* completed = Callback<ICoreWebView2NavigationCompletedEventHandler>(
        [&log](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
            BOOL success = FALSE;
            COREWEBVIEW2_WEB_ERROR_STATUS status = COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN;
            args->get_IsSuccess(&success);
            args->get_WebErrorStatus(&status);
            log.events.push_back("completed:" + std::to_string(success) + ":" + std::to_string(status));
            log.lastThread = GetCurrentThreadId();
            return S_OK;
        });
    ASSERT_EQ(S_OK, webView->add_NavigationCompleted(completed, &token));
    completed->Release();
    ASSERT_EQ(S_OK, webView->AddWebResourceRequestedFilter(filter, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL));
    auto* requested = Callback<ICoreWebView2WebResourceRequestedEventHandler>(
        [&log](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
            ComPtr<ICoreWebView2WebResourceRequest> request;
            args->get_Request(request.ReleaseAndGetAddressOf());
            LPWSTR uri = nullptr;
            request->get_Uri(&uri);
            log.events.push_back("requested:" + narrow(uri));
            CoTaskMemFree(uri);
            log.lastThread = GetCurrentThreadId();
            return E_INVALIDARG;
        });
    ASSERT_EQ(S_OK, webView->add_WebResourceRequested(requested, &token));
    requested->Release();
    auto* close = Callback<ICoreWebView2WindowCloseRequestedEventHandler>([&log](ICoreWebView2*, IUnknown*) {
        log.events.push_back("close");
        log.lastThread = GetCurrentThreadId();
        return S_OK;
    });
    ASSERT_EQ(S_OK, webView->add_WindowCloseRequested(close, &token));
    close->Release();
}

} // namespace webview2test
