#include "webview2/chromium/FrameWindow.h"

#include "webview2/chromium/Base64.h"
#include "webview2/common/ComObject.h"

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

namespace {

constexpr UINT WM_FRAME_READY = WM_APP + 2;
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

bool startGdiplus()
{
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

// The picture of a JPEG (or any format GDI+ reads); null when it cannot be read.
HBITMAP decodePicture(const std::string& base64)
{
    const auto bytes = base64Decode(base64);
    if (!bytes || bytes->empty() || !startGdiplus())
        return nullptr;
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes->data()), static_cast<UINT>(bytes->size()));
    if (!stream)
        return nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    HBITMAP picture = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
        Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &picture, 0xFF000000);
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
    }
    stream->Release();
    return picture;
}

} // namespace

FrameWindow::~FrameWindow()
{
    close();
}

bool FrameWindow::open(HWND host)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = providerModule();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = FRAME_WINDOW_CLASS;
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

DWORD WINAPI FrameWindow::threadMain(void* self)
{
    auto* frames = static_cast<FrameWindow*>(self);
    // No parent notification: creating and destroying the window sends nothing to the host's thread.
    frames->window = CreateWindowExW(WS_EX_NOPARENTNOTIFY, FRAME_WINDOW_CLASS, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                                     0, 0, frames->parent, nullptr, providerModule(), frames);
    const HWND window = frames->window;
    SetEvent(frames->ready);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (IsWindow(window))
        DestroyWindow(window);
    if (frames->picture)
        DeleteObject(frames->picture);
    frames->picture = nullptr;
    return 0;
}

LRESULT CALLBACK FrameWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* frames = reinterpret_cast<FrameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (frames) {
            frames->paint(window);
            return 0;
        }
        break;
    case WM_FRAME_READY:
        if (frames)
            frames->showNextFrame(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FrameWindow::showNextFrame(HWND target)
{
    Frame frame;
    {
        std::lock_guard<std::mutex> lock(mutex);
        frame = std::move(next);
        next = Frame();
        framePosted = false;
    }
    if (HBITMAP decoded = decodePicture(frame.base64)) {
        if (picture)
            DeleteObject(picture);
        picture = decoded;
        RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    if (frame.done)
        frame.done();
}

void FrameWindow::paint(HWND target)
{
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(target, &paintStruct);
    RECT client;
    GetClientRect(target, &client);
    BITMAP size = {};
    if (picture && GetObjectW(picture, sizeof size, &size)) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture);
        if (size.bmWidth == client.right && size.bmHeight == client.bottom) {
            BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
        } else {
            // While the page catches up with a new size.
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    } else {
        COLORREF colour;
        {
            std::lock_guard<std::mutex> lock(mutex);
            colour = background;
        }
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }
    EndPaint(target, &paintStruct);
}

void FrameWindow::deliver(std::string base64, std::function<void()> done)
{
    std::function<void()> dropped;
    HWND target = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!window) {
            dropped = std::move(done);
        } else {
            dropped = std::move(next.done);
            next = Frame{std::move(base64), std::move(done)};
            if (!framePosted)
                target = window;
            framePosted = true;
        }
    }
    if (target)
        PostMessageW(target, WM_FRAME_READY, 0, 0);
    if (dropped)
        dropped();
}

void FrameWindow::setBackground(COLORREF colour)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        background = colour;
    }
    if (window)
        InvalidateRect(window, nullptr, FALSE);
}

void FrameWindow::place(const RECT& bounds)
{
    if (window)
        SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

void FrameWindow::show(bool visible)
{
    if (window)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS |
                         (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void FrameWindow::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        window = nullptr;
    }
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
    next = Frame();
}

