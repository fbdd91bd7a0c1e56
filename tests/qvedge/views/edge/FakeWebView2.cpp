#include "tests/qvedge/views/edge/FakeWebView2.h"

#include <objbase.h>

#include <cstring>

FakeRuntime* FakeRuntime::current = nullptr;

namespace {

constexpr UINT WM_FAKE_TASK = WM_APP + 50;
constexpr const char* FAKE_WINDOW_CLASS = "QuorvelFakeWebView2Runtime";

template <class T>
ComPtr<T> adopt(T* object)
{
    ComPtr<T> pointer;
    *pointer.ReleaseAndGetAddressOf() = object;
    return pointer;
}

// A copyable reference for the posted tasks (std::function copies what it holds).
template <class T>
class SharedRef {
public:
    explicit SharedRef(T* object) : object(object) { object->AddRef(); }
    SharedRef(const SharedRef& other) : object(other.object) { object->AddRef(); }
    SharedRef& operator=(const SharedRef&) = delete;
    ~SharedRef() { object->Release(); }
    T* operator->() const { return object; }
    T* Get() const { return object; }

private:
    T* object;
};

void note(size_t k, const std::string& line)
{
    FakeRuntime::current->journal.push_back("#" + std::to_string(k) + " " + line);
}

HRESULT copyText(const std::wstring& text, LPWSTR* out)
{
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*out)
        return E_OUTOFMEMORY;
    std::memcpy(*out, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return S_OK;
}

// A COM object of one interface chain, answering the ids answers() accepts.
template <class I>
class FakeObject : public I {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, __uuidof(IUnknown)) && !answers(iid))
            return E_NOINTERFACE;
        AddRef();
        *out = static_cast<I*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --count;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~FakeObject() = default;
    virtual bool answers(REFIID iid) const = 0;

private:
    ULONG count = 1;
};

class FakeSettings final : public FakeObject<ICoreWebView2Settings5> {
public:
    explicit FakeSettings(size_t k) : k(k) {}
    HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL on) override
    {
        note(k, "put_AreDefaultContextMenusEnabled " + std::to_string(on));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL on) override
    {
        note(k, "put_IsZoomControlEnabled " + std::to_string(on));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* agent) override
    {
        note(k, "get_UserAgent");
        const FakeRuntimeKnobs& knobs = FakeRuntime::current->knobs;
        if (FAILED(knobs.getUserAgentResult)) {
            *agent = nullptr;
            return knobs.getUserAgentResult;
        }
        return copyText(knobs.userAgent, agent);
    }
    HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR agent) override
    {
        note(k, "put_UserAgent '" + journalText(agent) + "'");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_IsPinchZoomEnabled(BOOL on) override
    {
        note(k, "put_IsPinchZoomEnabled " + std::to_string(on));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsPinchZoomEnabled(BOOL*) override { return E_NOTIMPL; }

private:
    bool answers(REFIID iid) const override
    {
        const FakeRuntimeKnobs& knobs = FakeRuntime::current->knobs;
        return IsEqualIID(iid, __uuidof(ICoreWebView2Settings)) ||
               (knobs.answersSettings2 && IsEqualIID(iid, __uuidof(ICoreWebView2Settings2))) ||
               (knobs.answersSettings5 && IsEqualIID(iid, __uuidof(ICoreWebView2Settings5)));
    }
    size_t k;
};

class FakeRequest final : public FakeObject<ICoreWebView2WebResourceRequest> {
public:
    explicit FakeRequest(std::wstring uri) : uri(std::move(uri)) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* out) override { return copyText(uri, out); }

private:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, __uuidof(ICoreWebView2WebResourceRequest)); }
    std::wstring uri;
};

class FakeResourceArgs final : public FakeObject<ICoreWebView2WebResourceRequestedEventArgs> {
public:
    explicit FakeResourceArgs(std::wstring uri) : uri(std::move(uri)) {}
    HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** request) override
    {
        *request = new FakeRequest(uri);
        return S_OK;
    }

private:
    bool answers(REFIID iid) const override
    {
        return IsEqualIID(iid, __uuidof(ICoreWebView2WebResourceRequestedEventArgs));
    }
    std::wstring uri;
};

class FakeCompletedArgs final : public FakeObject<ICoreWebView2NavigationCompletedEventArgs> {
public:
    explicit FakeCompletedArgs(bool success) : success(success) {}
    HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* out) override
    {
        *out = success;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* status) override
    {
        *status = COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT;
        return S_OK;
    }

private:
    bool answers(REFIID iid) const override
    {
        return IsEqualIID(iid, __uuidof(ICoreWebView2NavigationCompletedEventArgs));
    }
    bool success;
};

class FakeStartingArgs final : public FakeObject<ICoreWebView2NavigationStartingEventArgs> {
public:
    explicit FakeStartingArgs(bool redirected) : redirected(redirected) {}
    HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* out) override
    {
        *out = redirected;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* out) override { return copyText(L"", out); }

private:
    bool answers(REFIID iid) const override
    {
        return IsEqualIID(iid, __uuidof(ICoreWebView2NavigationStartingEventArgs));
    }
    bool redirected;
};

} // namespace

class FakeWebView final : public FakeObject<ICoreWebView2_8> {
public:
    FakeWebView(size_t k, const bool& closed) : k(k), closed(closed) {}

    HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                                     EventRegistrationToken* token) override
    {
        note(k, "add_NavigationStarting");
        return keep(FakeRuntime::current->knobs.addNavigationStartingResult, navigationStarting, handler, token, 1);
    }
    HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                                      EventRegistrationToken* token) override
    {
        note(k, "add_NavigationCompleted");
        return keep(FakeRuntime::current->knobs.addNavigationCompletedResult, navigationCompleted, handler, token, 2);
    }
    HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(LPCWSTR uri,
                                                            COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override
    {
        note(k, "AddWebResourceRequestedFilter " + journalText(uri) + " " + std::to_string(context));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                                       EventRegistrationToken* token) override
    {
        note(k, "add_WebResourceRequested");
        return keep(FakeRuntime::current->knobs.addWebResourceRequestedResult, resourceRequested, handler, token, 3);
    }
    HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* handler,
                                                       EventRegistrationToken* token) override
    {
        note(k, "add_WindowCloseRequested");
        return keep(S_OK, closeRequested, handler, token, 4);
    }
    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override
    {
        note(k, "get_Settings");
        if (!FakeRuntime::current->knobs.hasSettings) {
            *settings = nullptr;
            return E_NOINTERFACE;
        }
        *settings = new FakeSettings(k);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override
    {
        note(k, "Navigate " + journalText(uri));
        return completeLater(uri);
    }
    HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override
    {
        note(k, "NavigateToString " + journalText(html));
        return completeLater(html);
    }
    HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) override
    {
        note(k, "ExecuteScript " + journalText(script));
        SharedRef<ICoreWebView2ExecuteScriptCompletedHandler> kept(handler);
        const bool& isClosed = closed;
        FakeRuntime::current->post([kept, &isClosed]() {
            if (!isClosed)
                kept->Invoke(S_OK, L"null");
        });
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) override { return copyText(L"", uri); }
    HRESULT STDMETHODCALLTYPE put_IsMuted(BOOL muted) override
    {
        note(k, "put_IsMuted " + std::to_string(muted));
        isMuted = muted;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsMuted(BOOL* muted) override
    {
        *muted = isMuted;
        return S_OK;
    }

    ComPtr<ICoreWebView2NavigationStartingEventHandler> navigationStarting;
    ComPtr<ICoreWebView2NavigationCompletedEventHandler> navigationCompleted;
    ComPtr<ICoreWebView2WebResourceRequestedEventHandler> resourceRequested;
    ComPtr<ICoreWebView2WindowCloseRequestedEventHandler> closeRequested;

    HRESULT fireCompleted(bool success)
    {
        if (!navigationCompleted)
            return E_FAIL;
        ComPtr<ICoreWebView2NavigationCompletedEventArgs> args = adopt<ICoreWebView2NavigationCompletedEventArgs>(
            new FakeCompletedArgs(success));
        return navigationCompleted->Invoke(this, args.Get());
    }

private:
    template <class H>
    HRESULT keep(HRESULT result, ComPtr<H>& slot, H* handler, EventRegistrationToken* token, INT64 value)
    {
        if (FAILED(result))
            return result;
        slot.Reset(handler);
        token->value = value;
        return S_OK;
    }
    HRESULT completeLater(LPCWSTR text)
    {
        if (!text || !*text)
            return E_INVALIDARG;
        if (FakeRuntime::current->knobs.completeNavigations) {
            const bool success = FakeRuntime::current->knobs.navigationSucceeds;
            SharedRef<FakeWebView> self(this);
            const bool& isClosed = closed;
            FakeRuntime::current->post([self, success, &isClosed]() {
                if (!isClosed)
                    self->fireCompleted(success);
            });
        }
        return S_OK;
    }
    bool answers(REFIID iid) const override
    {
        return IsEqualIID(iid, __uuidof(ICoreWebView2)) ||
               (FakeRuntime::current->knobs.answersWebView8 && IsEqualIID(iid, __uuidof(ICoreWebView2_8)));
    }

    size_t k;
    const bool& closed;
    BOOL isMuted = FALSE;
};

class FakeController final : public FakeObject<ICoreWebView2Controller2> {
public:
    explicit FakeController(size_t k) : k(k), webView(adopt(new FakeWebView(k, closed))) {}

    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** core) override
    {
        note(k, "get_CoreWebView2");
        if (FakeRuntime::current->knobs.raiseInGetCoreWebView2)
            FakeRuntime::current->knobs.raiseInGetCoreWebView2();
        const HRESULT result = FakeRuntime::current->knobs.getCoreWebView2Result;
        if (FAILED(result)) {
            *core = nullptr;
            return result;
        }
        webView->AddRef();
        *core = webView.Get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT r) override
    {
        note(k, "put_Bounds " + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
                    "," + std::to_string(r.bottom));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL visible) override
    {
        note(k, "put_IsVisible " + std::to_string(visible));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close() override
    {
        note(k, "Close");
        closed = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color) override
    {
        note(k, "get_DefaultBackgroundColor");
        *color = FakeRuntime::current->knobs.defaultBackground;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR c) override
    {
        note(k, "put_DefaultBackgroundColor " + std::to_string(c.A) + "," + std::to_string(c.R) + "," +
                    std::to_string(c.G) + "," + std::to_string(c.B));
        return S_OK;
    }

    size_t k;
    bool closed = false;
    ComPtr<FakeWebView> webView;

private:
    bool answers(REFIID iid) const override
    {
        return IsEqualIID(iid, __uuidof(ICoreWebView2Controller)) ||
               (FakeRuntime::current->knobs.answersController2 && IsEqualIID(iid, __uuidof(ICoreWebView2Controller2)));
    }
};

namespace {

class FakeEnvironment final : public FakeObject<ICoreWebView2Environment> {
public:
    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override
    {
        FakeRuntime& runtime = *FakeRuntime::current;
        const size_t k = runtime.controllers.size();
        note(k, std::string("CreateCoreWebView2Controller ") + (parent ? "host" : "null"));
        if (FAILED(runtime.knobs.createControllerResult))
            return runtime.knobs.createControllerResult;
        ComPtr<FakeController> made = adopt(new FakeController(k));
        SharedRef<FakeController> controller(made.Get());
        runtime.controllers.push_back(std::move(made));
        SharedRef<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler> kept(handler);
        const HRESULT result = runtime.knobs.controllerResult;
        runtime.post([kept, controller, result]() {
            kept->Invoke(result, SUCCEEDED(result) ? controller.Get() : nullptr);
        });
        return S_OK;
    }

private:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, __uuidof(ICoreWebView2Environment)); }
};

} // namespace

std::string journalText(const wchar_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

FakeRuntime::FakeRuntime()
{
    current = this;
    savedEntry = createWebView2Environment;
    createWebView2Environment = entry;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = FAKE_WINDOW_CLASS;
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, FAKE_WINDOW_CLASS, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
}

FakeRuntime::~FakeRuntime()
{
    tasks.clear();
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_FAKE_TASK, WM_FAKE_TASK, PM_REMOVE)) {
    }
    controllers.clear();
    createWebView2Environment = savedEntry;
    current = nullptr;
}

void FakeRuntime::restart()
{
    journal.clear();
    controllers.clear();
}

void FakeRuntime::post(std::function<void()> task)
{
    tasks.push_back(std::move(task));
    PostMessageA(window, WM_FAKE_TASK, 0, 0);
}

LRESULT CALLBACK FakeRuntime::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FAKE_TASK && current && !current->tasks.empty()) {
        std::function<void()> task = std::move(current->tasks.front());
        current->tasks.pop_front();
        task();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void FakeRuntime::runPending()
{
    for (int round = 0; round < 1000 && hasPending(); ++round) {
        MSG msg;
        while (PeekMessageA(&msg, window, WM_FAKE_TASK, WM_FAKE_TASK, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

bool FakeRuntime::runOne()
{
    MSG msg;
    if (!PeekMessageA(&msg, window, WM_FAKE_TASK, WM_FAKE_TASK, PM_REMOVE))
        return false;
    DispatchMessageA(&msg);
    return true;
}

HRESULT STDMETHODCALLTYPE FakeRuntime::entry(PCWSTR browserFolder, PCWSTR userData,
                                             ICoreWebView2EnvironmentOptions* options,
                                             ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    FakeRuntime& runtime = *current;
    ++runtime.entryCalls;
    runtime.browserFolderGiven = browserFolder != nullptr;
    runtime.userDataFolder = userData ? userData : L"";
    LPWSTR arguments = nullptr;
    if (options && SUCCEEDED(options->get_AdditionalBrowserArguments(&arguments)) && arguments)
        runtime.browserArguments = arguments;
    CoTaskMemFree(arguments);
    if (FAILED(runtime.knobs.entryResult))
        return runtime.knobs.entryResult;
    SharedRef<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> kept(handler);
    const HRESULT result = runtime.knobs.environmentResult;
    runtime.post([kept, result]() {
        ComPtr<ICoreWebView2Environment> environment = adopt<ICoreWebView2Environment>(new FakeEnvironment());
        kept->Invoke(result, SUCCEEDED(result) ? environment.Get() : nullptr);
    });
    return S_OK;
}

std::vector<std::string> FakeRuntime::callsOf(size_t k) const
{
    const std::string prefix = "#" + std::to_string(k) + " ";
    std::vector<std::string> lines;
    for (const std::string& line : journal) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line.substr(prefix.size()));
    }
    return lines;
}

bool FakeRuntime::called(size_t k, const std::string& line) const
{
    for (const std::string& call : callsOf(k)) {
        if (call == line)
            return true;
    }
    return false;
}

size_t FakeRuntime::count(const std::string& line) const
{
    size_t n = 0;
    for (const std::string& call : journal) {
        const size_t blank = call.find(' ');
        if (blank != std::string::npos && call.substr(blank + 1) == line)
            ++n;
    }
    return n;
}

HRESULT FakeRuntime::fireResourceRequest(size_t k, const std::wstring& uri)
{
    FakeWebView& view = *controllers.at(k)->webView.Get();
    ComPtr<ICoreWebView2WebResourceRequestedEventArgs> args =
        adopt<ICoreWebView2WebResourceRequestedEventArgs>(new FakeResourceArgs(uri));
    return view.resourceRequested->Invoke(&view, args.Get());
}

HRESULT FakeRuntime::fireNavigationCompleted(size_t k, bool success)
{
    return controllers.at(k)->webView->fireCompleted(success);
}

HRESULT FakeRuntime::fireNavigationStarting(size_t k, bool redirected)
{
    FakeWebView& view = *controllers.at(k)->webView.Get();
    ComPtr<ICoreWebView2NavigationStartingEventArgs> args =
        adopt<ICoreWebView2NavigationStartingEventArgs>(new FakeStartingArgs(redirected));
    return view.navigationStarting->Invoke(&view, args.Get());
}

HRESULT FakeRuntime::fireWindowCloseRequested(size_t k)
{
    FakeWebView& view = *controllers.at(k)->webView.Get();
    return view.closeRequested->Invoke(&view, nullptr);
}
