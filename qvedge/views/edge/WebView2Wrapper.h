#pragma once
// One WebView2 view of the show: its environment, controller and WebView2 object, brought
// up by a chain of three asynchronous steps that ends in a WM_WebPageLoaded report to the
// dialog, and the state of the page's "mem" feed requests. The event handlers live in
// WebView2WrapperEvents.cpp, the feed fetch in WebView2WrapperFeed.cpp.
#include "framework/CString.h"
#include "framework/ComPtr.h"
#include "framework/InternetSession.h"
#include "framework/Win.h"
#include "qvedge/feed/XmlJsonConverter.h"
#include "webview2/include/WebView2.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

using WebView2Clock = std::chrono::steady_clock;

// The environment-creation entry every view calls; tests put a fake runtime's entry here.
using CreateEnvironmentEntry = decltype(&CreateCoreWebView2EnvironmentWithOptions);
extern CreateEnvironmentEntry createWebView2Environment;

// Lets pages start media, sound included, without a user gesture.
constexpr const wchar_t* WEBVIEW2_BROWSER_ARGUMENTS = L"--autoplay-policy=no-user-gesture-required";
// The mem feed scheme the resource handler answers, compared case-sensitively.
constexpr const wchar_t* MEM_SCHEME_PREFIX = L"mem://";
constexpr DWORD_PTR FEED_REQUEST_CONTEXT = 1;

// Addresses on these hosts get the "Edg/" token taken out of the user agent, so the sites
// serve the view as the Chromium browser it is: the search engine (www., maps., ...), its
// mail service's own domain, the video site and its short links. Tested in this order,
// case-sensitively, anywhere in the address.
constexpr const char* USER_AGENT_HOST_PATTERNS[] = {".google.com", ".gmail.com", ".youtube.com", "youtu.be/"};

// The user agent without its "Edg/" token: every occurrence of the token with the blank
// after it goes; a token at the end goes with the character before it.
CString userAgentWithoutEdge(const CString& userAgent);
// True when the address holds one of USER_AGENT_HOST_PATTERNS.
bool needsUserAgentEdit(const CString& address);
// The user-data folder of every view: the temp folder followed by the program's file name.
CString webView2UserDataFolder(const CString& tempPath, const CString& programPath);
// libstdc++'s file types as the numbers the log shows (0 none, 1 not found, 2 regular,
// 3 directory, 4 symbolic link, 10 junction; anything else as libstdc++ numbers it).
int loggedFileType(int libstdcxxFileType);

struct WebView2Wrapper {
    WebView2Wrapper();
    ~WebView2Wrapper();
    WebView2Wrapper(const WebView2Wrapper&) = delete;
    WebView2Wrapper& operator=(const WebView2Wrapper&) = delete;

    void initializeWebView2(HWND host, int viewIndex, CString content, bool isUrl);
    HRESULT OnCreateEnvironmentCompleted(HRESULT result, ICoreWebView2Environment* environment);
    HRESULT OnCreateCoreWebView2ControllerCompleted(HRESULT result, ICoreWebView2Controller* controller);

    HRESULT OnNavigationStarting(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args);
    HRESULT OnNavigationCompleted(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args);
    HRESULT OnWebResourceRequested(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args);
    HRESULT OnExecuteScriptCompleted(HRESULT errorCode, LPCWSTR result);
    HRESULT OnWindowCloseRequested(ICoreWebView2* sender, IUnknown* args);

    // Fetches the feed of a mem:// address over HTTPS and leaves its JSON call text in
    // pageBuffer; false (pageBuffer untouched) when it cannot be fetched or converted.
    bool getMemPage(const wchar_t* address);

    std::unique_ptr<char[]> pageBuffer;
    const char* pageCursor = nullptr;
    std::uint32_t pageSize = 0;
    XmlJsonConverter converter;
    std::unique_ptr<CInternetSession> internetSession;
    std::unique_ptr<CHttpFile> httpFile;
    WebView2Clock::time_point startTime{};
    WebView2Clock::time_point environmentTime{};
    WebView2Clock::time_point controllerTime{};
    WebView2Clock::time_point navigationTime{};
    WebView2Clock::time_point completedTime{};
    EventRegistrationToken webResourceRequestedToken = {};
    HWND hostWindow = nullptr;
    RECT bounds = {};
    int viewIndex = 0;
    bool loaded = false;
    CString content;
    CString navigationContent;
    bool isUrl = false;
    ComPtr<ICoreWebView2Environment> environment;
    ComPtr<ICoreWebView2Controller> controller;
    ComPtr<ICoreWebView2_8> webView;
    EventRegistrationToken navigationCompletedToken = {};
    EventRegistrationToken navigationStartingToken = {};
    COREWEBVIEW2_COLOR savedBackgroundColor = {};

private:
    void reportLoaded(bool success);
    void applyUserAgentEdit(ICoreWebView2Settings* settings);
    HRESULT registerEventHandlers();
    // Runs one step of the chain; an exception of it is logged and reported as a failure.
    template <class Step>
    HRESULT guardedStep(const char* label, Step step);
    bool fetchFeed(const CString& address);
};

// Milliseconds between two time points of the views' clock.
long elapsedMs(WebView2Clock::time_point from, WebView2Clock::time_point to);
