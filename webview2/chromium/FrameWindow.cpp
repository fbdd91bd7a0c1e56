#include "webview2/chromium/FrameWindow.h"

#include "webview2/chromium/Base64.h"

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

namespace {

constexpr UINT WM_FRAME_READY = WM_APP + 2;

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
    if (!ThreadWindow::open(host))
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    posting = window;
    return true;
}

void FrameWindow::received(HWND target, UINT message)
{
    if (message == WM_FRAME_READY)
        showNextFrame(target);
}

void FrameWindow::destroyed()
{
    if (picture)
        DeleteObject(picture);
    picture = nullptr;
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
        if (!posting) {
            dropped = std::move(done);
        } else {
            dropped = std::move(next.done);
            next = Frame{std::move(base64), std::move(done)};
            if (!framePosted)
                target = posting;
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
        posting = nullptr;
    }
    ThreadWindow::close();
    next = Frame();
}
