#pragma once
// An in-process stand-in for the WebView2 runtime: the objects of our declarations, put
// behind the views' environment-creation entry for the fake's lifetime. Like the real
// runtime it completes every asynchronous call later, through messages posted to a hidden
// window of the calling thread, and drops the pending completions of a closed controller.
// Every call lands in a journal, "#k method arguments", k counting the controllers.
#include "framework/ComPtr.h"
#include "qvedge/views/edge/WebView2Wrapper.h"
#include "webview2/include/WebView2.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FakeRuntimeKnobs {
    HRESULT entryResult = S_OK;
    HRESULT environmentResult = S_OK;
    HRESULT createControllerResult = S_OK;
    HRESULT controllerResult = S_OK;
    HRESULT getCoreWebView2Result = S_OK;
    bool answersWebView8 = true;
    bool answersController2 = true;
    HRESULT addNavigationStartingResult = S_OK;
    HRESULT addNavigationCompletedResult = S_OK;
    HRESULT addWebResourceRequestedResult = S_OK;
    bool hasSettings = true;
    bool answersSettings2 = true;
    bool answersSettings5 = true;
    HRESULT getUserAgentResult = S_OK;
    std::wstring userAgent = L"Mozilla/5.0 AppleWebKit/537.36 Chrome/140.0 Safari/537.36 Edg/140.0.3485.44";
    // Navigations to a non-empty text complete by themselves, with this outcome.
    bool completeNavigations = true;
    bool navigationSucceeds = true;
    COREWEBVIEW2_COLOR defaultBackground = {255, 10, 20, 30};
    // Called by get_CoreWebView2, to raise an exception inside the controller step.
    void (*raiseInGetCoreWebView2)() = nullptr;
};

class FakeWebView;
class FakeController;

class FakeRuntime {
public:
    FakeRuntime();
    ~FakeRuntime();
    FakeRuntime(const FakeRuntime&) = delete;
    FakeRuntime& operator=(const FakeRuntime&) = delete;

    // Runs the posted completions until none is left (for tests without the dialog's loop).
    void runPending();
    // Runs the oldest posted completion; false when none is left.
    bool runOne();
    bool hasPending() const { return !tasks.empty(); }
    void post(std::function<void()> task);

    // The journal lines of controller k, without their "#k " prefix.
    std::vector<std::string> callsOf(size_t k) const;
    bool called(size_t k, const std::string& line) const;
    size_t count(const std::string& line) const;

    // The page's events, raised at once on controller k's WebView2 object.
    HRESULT fireResourceRequest(size_t k, const std::wstring& uri);
    HRESULT fireNavigationCompleted(size_t k, bool success);
    HRESULT fireNavigationStarting(size_t k, bool redirected);
    HRESULT fireWindowCloseRequested(size_t k);

    FakeRuntimeKnobs knobs;
    std::vector<std::string> journal;
    int entryCalls = 0;
    std::wstring userDataFolder;
    std::wstring browserArguments;
    bool browserFolderGiven = false;
    static FakeRuntime* current;

    // Forgets the journal and the controllers, so the next controller is #0 again.
    void restart();
    // The objects the controller steps hand out, in their order.
    std::vector<ComPtr<FakeController>> controllers;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static HRESULT STDMETHODCALLTYPE entry(PCWSTR browserFolder, PCWSTR userData,
                                           ICoreWebView2EnvironmentOptions* options,
                                           ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

    HWND window = nullptr;
    std::deque<std::function<void()>> tasks;
    CreateEnvironmentEntry savedEntry = nullptr;
};

// Narrow copy of an ASCII text, for the journal.
std::string journalText(const wchar_t* text);
