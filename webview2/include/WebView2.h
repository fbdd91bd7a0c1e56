#pragma once
// Our own declarations of the WebView2 interfaces the show calls, shared by the program
// and every runtime provider. They hold only the members that are used (plus a few
// getters for tests); the vtable order is ours, since the program meets no other runtime.
#include "framework/Win.h"

#include <objbase.h>

// The target compatible browser version an options object carries by default.
constexpr const wchar_t* WEBVIEW2_TARGET_BROWSER_VERSION = L"140.0.3485.44";

struct EventRegistrationToken {
    INT64 value;
};

struct COREWEBVIEW2_COLOR {
    BYTE A;
    BYTE R;
    BYTE G;
    BYTE B;
};

enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT {
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT = 1,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SCRIPT = 4,
};

enum COREWEBVIEW2_WEB_ERROR_STATUS {
    COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN = 0,
    COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT = 7,
    COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED = 9,
    COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT = 12,
    COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED = 13,
    COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED = 14,
};

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2NavigationStartingEventArgs;
struct ICoreWebView2Settings;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2WebResourceRequestedEventArgs;

// Handlers: one Invoke each.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Environment* environment) = 0;
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Controller* controller) = 0;
};
struct ICoreWebView2NavigationStartingEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) = 0;
};
struct ICoreWebView2NavigationCompletedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};
struct ICoreWebView2WebResourceRequestedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};
struct ICoreWebView2WindowCloseRequestedEventHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, IUnknown* args) = 0;
};
struct ICoreWebView2ExecuteScriptCompletedHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR resultObjectAsJson) = 0;
};

struct ICoreWebView2EnvironmentOptions : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) = 0;
    // Strings handed out are CoTaskMem; the caller frees them.
    virtual HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
};

struct ICoreWebView2Environment : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
};

struct ICoreWebView2Controller : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

struct ICoreWebView2Controller2 : ICoreWebView2Controller {
    virtual HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color) = 0;
};

struct ICoreWebView2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                                              EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(LPCWSTR uri,
                                                                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                                               EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* handler,
                                                               EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
    virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR htmlContent) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR javaScript,
                                                    ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
    // The address shown; CoTaskMem.
    virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) = 0;
};

struct ICoreWebView2_8 : ICoreWebView2 {
    virtual HRESULT STDMETHODCALLTYPE put_IsMuted(BOOL value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsMuted(BOOL* value) = 0;
};

struct ICoreWebView2Settings : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* enabled) = 0;
};

struct ICoreWebView2Settings2 : ICoreWebView2Settings {
    // CoTaskMem.
    virtual HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* userAgent) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR userAgent) = 0;
};

struct ICoreWebView2Settings5 : ICoreWebView2Settings2 {
    virtual HRESULT STDMETHODCALLTYPE put_IsPinchZoomEnabled(BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsPinchZoomEnabled(BOOL* enabled) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* isRedirected) = 0;
    // CoTaskMem.
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* isSuccess) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* status) = 0;
};

struct ICoreWebView2WebResourceRequest : IUnknown {
    // CoTaskMem.
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
};

struct ICoreWebView2WebResourceRequestedEventArgs : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** request) = 0;
};

// The interface ids. The three the program queries by number are the published ones;
// every other one is ours.
__CRT_UUID_DECL(ICoreWebView2_8, 0xE9632730, 0x6E1E, 0x43AB, 0xB7, 0xB8, 0x7B, 0x2C, 0x9E, 0x62, 0xE0, 0x94)
__CRT_UUID_DECL(ICoreWebView2Settings2, 0xEE9A0F68, 0xF46C, 0x4E32, 0xAC, 0x23, 0xEF, 0x8C, 0xAC, 0x22, 0x4D, 0x2A)
__CRT_UUID_DECL(ICoreWebView2Settings5, 0x183E7052, 0x1D03, 0x43A0, 0xAB, 0x99, 0x98, 0xE0, 0x43, 0xB6, 0x6B, 0x39)
__CRT_UUID_DECL(ICoreWebView2EnvironmentOptions, 0x3b62996a, 0xc520, 0x49cc, 0x88, 0x02, 0x6d, 0x3d, 0x38, 0xc8, 0xdc, 0xba)
__CRT_UUID_DECL(ICoreWebView2Environment, 0x8671753b, 0x1517, 0x46f2, 0x9b, 0xc4, 0x8e, 0x79, 0x57, 0x74, 0x07, 0x1e)
__CRT_UUID_DECL(ICoreWebView2Controller, 0x534c5752, 0x8a07, 0x4e4e, 0xb0, 0x90, 0xea, 0xc3, 0x21, 0x7e, 0x81, 0x4f)
__CRT_UUID_DECL(ICoreWebView2Controller2, 0xfb910405, 0x1a22, 0x47e0, 0xb6, 0x30, 0xd3, 0x3c, 0x1c, 0x27, 0xed, 0x5f)
__CRT_UUID_DECL(ICoreWebView2, 0xfb15e78e, 0x3a04, 0x42fa, 0x84, 0xe3, 0x22, 0xf5, 0x21, 0xad, 0x47, 0xb1)
__CRT_UUID_DECL(ICoreWebView2Settings, 0x28e2022c, 0x122f, 0x4c40, 0xb0, 0x2a, 0xd0, 0x16, 0xe2, 0xeb, 0x88, 0xcd)
__CRT_UUID_DECL(ICoreWebView2NavigationStartingEventArgs, 0x013fcb9f, 0x45c4, 0x4490, 0x81, 0x65, 0xaf, 0x8e, 0x57, 0xf3, 0x0d, 0x39)
__CRT_UUID_DECL(ICoreWebView2NavigationCompletedEventArgs, 0x9c183149, 0xfe7a, 0x4ef7, 0xa1, 0x8e, 0xc5, 0x28, 0x90, 0x07, 0xa2, 0x63)
__CRT_UUID_DECL(ICoreWebView2WebResourceRequestedEventArgs, 0xe930f533, 0xdb3e, 0x4eff, 0x90, 0x9c, 0xdb, 0xa3, 0x96, 0x29, 0xd6, 0xab)
__CRT_UUID_DECL(ICoreWebView2WebResourceRequest, 0xd9e5bf31, 0xff25, 0x4a53, 0x90, 0x3b, 0x5e, 0xa0, 0x24, 0x2e, 0x1b, 0x47)
__CRT_UUID_DECL(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, 0x54bc000e, 0x84b7, 0x4d8e, 0x8e, 0xee, 0x40, 0xff, 0x54, 0x2d, 0x43, 0x4a)
__CRT_UUID_DECL(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, 0xda2ba176, 0xc47a, 0x410a, 0xaf, 0x51, 0x11, 0xa0, 0x52, 0x14, 0xb5, 0xee)
__CRT_UUID_DECL(ICoreWebView2NavigationStartingEventHandler, 0xc1691ad0, 0x7f61, 0x4a6d, 0x89, 0xf1, 0x99, 0x88, 0x15, 0x27, 0xce, 0xee)
__CRT_UUID_DECL(ICoreWebView2NavigationCompletedEventHandler, 0x4e337758, 0x6853, 0x45ce, 0xa1, 0x44, 0xd1, 0xa0, 0x74, 0x57, 0x9c, 0x8b)
__CRT_UUID_DECL(ICoreWebView2WebResourceRequestedEventHandler, 0x7f407169, 0x382e, 0x4bcd, 0xa6, 0x4a, 0x71, 0x9a, 0x3f, 0xf1, 0xa1, 0x42)
__CRT_UUID_DECL(ICoreWebView2WindowCloseRequestedEventHandler, 0xc5c8cc9b, 0xf2ac, 0x42ef, 0x9a, 0xf6, 0x1d, 0x0a, 0xbb, 0xef, 0x47, 0x40)
__CRT_UUID_DECL(ICoreWebView2ExecuteScriptCompletedHandler, 0x96d110bf, 0x75d4, 0x4de6, 0xbe, 0x63, 0x40, 0x6b, 0x69, 0x41, 0x6c, 0xb1)

// The environment-creation entry of the program (webview2/loader/).
STDAPI CreateCoreWebView2EnvironmentWithOptions(PCWSTR browserExecutableFolder, PCWSTR userDataFolder,
                                                ICoreWebView2EnvironmentOptions* environmentOptions,
                                                ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// The one export of every runtime provider (QuorvelRuntime.dll beside the program), with
// the loader's four arguments; exported undecorated through the provider's .def.
extern "C" HRESULT STDMETHODCALLTYPE QuorvelCreateEnvironment(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);
using QuorvelCreateEnvironmentProc = decltype(&QuorvelCreateEnvironment);

// The provider's file name, loaded from the program's own folder.
constexpr const char* WEBVIEW2_PROVIDER_FILE = "QuorvelRuntime.dll";
