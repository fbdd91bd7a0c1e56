#pragma once
// A view's content window showing the page's screencast: each JPEG frame is decoded on
// the window's thread, painted, then acknowledged; the last one is kept and painted again
// on WM_PAINT. Before the first frame it shows the background colour. Calls come from any
// thread; none waits for the window's thread except open and close.
#include "webview2/common/ThreadWindow.h"

#include <functional>
#include <mutex>
#include <string>

// The window class of every content window.
constexpr const wchar_t* FRAME_WINDOW_CLASS = L"QuorvelChromiumContent";

class FrameWindow final : public ThreadWindow {
public:
    FrameWindow() : ThreadWindow(FRAME_WINDOW_CLASS) {}
    ~FrameWindow() override;

    // ThreadWindow's open and close, which also start and stop taking frames (a frame
    // delivered while none are taken is dropped at once).
    bool open(HWND parent);
    // A frame as the protocol sends it (Base64 of a JPEG). `done` runs on the window's
    // thread once the frame is painted, or dropped for a newer one.
    void deliver(std::string base64, std::function<void()> done);
    void setBackground(COLORREF colour);
    void place(const RECT& bounds);
    void show(bool visible);
    void close();

private:
    struct Frame {
        std::string base64;
        std::function<void()> done;
    };

    void paint(HWND target) override;
    void received(HWND target, UINT message) override;
    void destroyed() override;
    void showNextFrame(HWND target);

    std::mutex mutex;
    // The window frames are posted to, null until opened and once closed.
    HWND posting = nullptr;
    Frame next;
    bool framePosted = false;
    COLORREF background = RGB(255, 255, 255);
    // Touched on the window's thread only.
    HBITMAP picture = nullptr;
};
