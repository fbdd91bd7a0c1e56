#include "webview2/common/ThreadWindow.h"

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

bool ThreadWindow::open(HWND host)
{
    WNDCLASSW windowClass = {};
    if (!GetClassInfoW(providerModule(), className, &windowClass)) {
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = providerModule();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = className;
        if (!RegisterClassW(&windowClass))
            return false;
    }
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

DWORD WINAPI ThreadWindow::threadMain(void* self)
{
    auto* owner = static_cast<ThreadWindow*>(self);
    // No parent notification: creating and destroying the window sends nothing to the host's thread.
    owner->window = CreateWindowExW(WS_EX_NOPARENTNOTIFY, owner->className, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0,
                                    0, owner->parent, nullptr, providerModule(), owner);
    const HWND window = owner->window;
    SetEvent(owner->ready);
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

LRESULT CALLBACK ThreadWindow::windowProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(target, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<ThreadWindow*>(GetWindowLongPtrW(target, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (owner) {
            owner->paint(target);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (owner)
            owner->destroyed();
        PostQuitMessage(0);
        return 0;
    default:
        if (message >= WM_APP) {
            if (owner)
                owner->received(target, message);
            return 0;
        }
        break;
    }
    return DefWindowProcW(target, message, wParam, lParam);
}

void ThreadWindow::close()
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
