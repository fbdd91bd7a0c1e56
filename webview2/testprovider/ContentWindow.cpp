#include "webview2/testprovider/ContentWindow.h"

#include "webview2/common/ComObject.h"

namespace {

// How long the UI thread waits for the content thread before leaving it be.
constexpr DWORD CONTENT_WAIT_MS = 5000;

// Waits for the handle while handling the messages other threads send to this one (the
// host's thread may be sent focus and activation changes while the child comes and goes).
void waitHandlingSent(HANDLE handle)
{
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, CONTENT_WAIT_MS, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1 &&
           GetTickCount() - start < CONTENT_WAIT_MS) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

COLORREF contentColour(const std::wstring& text)
{
    uint32_t hash = 2166136261u;
    for (wchar_t c : text)
        hash = (hash ^ static_cast<uint32_t>(c)) * 16777619u;
    // Twelve hues 30 degrees apart, fully saturated: neighbours differ by half a channel.
    const int sector = static_cast<int>(hash % 12);
    const int rise = (sector % 2) * 255 / 2;
    const int fall = 255 - rise;
    switch (sector / 2) {
    case 0: return RGB(255, rise, 0);
    case 1: return RGB(fall, 255, 0);
    case 2: return RGB(0, 255, rise);
    case 3: return RGB(0, fall, 255);
    case 4: return RGB(rise, 0, 255);
    default: return RGB(255, 0, fall);
    }
}

ContentWindow::~ContentWindow()
{
    close();
}

bool ContentWindow::open(HWND host)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = providerModule();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = CONTENT_WINDOW_CLASS;
        return RegisterClassW(&windowClass);
    }();
    if (!atom)
        return false;
    parent = host;
    ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready)
        return false;
    thread = CreateThread(nullptr, 0, threadMain, this, 0, &threadId);
    if (!thread)
        return false;
    waitHandlingSent(ready);
    return window != nullptr;
}

DWORD WINAPI ContentWindow::threadMain(void* self)
{
    auto* content = static_cast<ContentWindow*>(self);
    // No parent notification: creating and destroying the window sends nothing to the host's thread.
    content->window = CreateWindowExW(WS_EX_NOPARENTNOTIFY, CONTENT_WINDOW_CLASS, L"", WS_CHILD | WS_CLIPSIBLINGS,
                                      0, 0, 0, 0, content->parent, nullptr, providerModule(), content);
    const HWND window = content->window;
    SetEvent(content->ready);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (IsWindow(window))
        DestroyWindow(window);
    return 0;
}

LRESULT CALLBACK ContentWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* content = reinterpret_cast<ContentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (content) {
            content->paint(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ContentWindow::paint(HWND target)
{
    std::wstring shown;
    {
        std::lock_guard<std::mutex> lock(textMutex);
        shown = text;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(target, &paint);
    RECT client;
    GetClientRect(target, &client);
    HBRUSH brush = CreateSolidBrush(contentColour(shown));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    EndPaint(target, &paint);
}

void ContentWindow::setText(const std::wstring& newText)
{
    {
        std::lock_guard<std::mutex> lock(textMutex);
        text = newText;
    }
    if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ContentWindow::place(const RECT& bounds)
{
    if (window)
        SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void ContentWindow::show(bool visible)
{
    if (!window)
        return;
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (visible)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ContentWindow::close()
{
    if (thread) {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        waitHandlingSent(thread);
        CloseHandle(thread);
        thread = nullptr;
    }
    if (ready) {
        CloseHandle(ready);
        ready = nullptr;
    }
    window = nullptr;
}
