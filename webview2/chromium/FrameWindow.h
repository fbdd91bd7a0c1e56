#pragma once
// A view's content window: a child of the host made on a thread of its own, as a browser
// process would make it (input over it reaches the host's thread only through the
// low-level hooks). It shows the page's screencast: each JPEG frame is decoded on the
// window's thread, painted, then acknowledged; the last one is kept and painted again on
// WM_PAINT. Before the first frame it shows the background colour. Calls come from any
// thread; none waits for the window's thread except open and close.
#include "framework/Win.h"

#include <functional>
#include <mutex>
#include <string>

// The window class of every content window.
constexpr const wchar_t* FRAME_WINDOW_CLASS = L"QuorvelChromiumContent";

class FrameWindow {
public:
    FrameWindow() = default;
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;
    ~FrameWindow();

    // Starts the thread and makes the window there, hidden; false when either fails.
    bool open(HWND parent);
    // A frame as the protocol sends it (Base64 of a JPEG). `done` runs on the window's
    // thread once the frame is painted, or dropped for a newer one.
    void deliver(std::string base64, std::function<void()> done);
    void setBackground(COLORREF colour);
    void place(const RECT& bounds);
    void show(bool visible);
    // Destroys the window and ends the thread; harmless when the host is gone already.
    void close();

private:
    struct Frame {
        std::string base64;
        std::function<void()> done;
    };

    static DWORD WINAPI threadMain(void* self);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);
    void showNextFrame(HWND window);

    HWND parent = nullptr;
    HWND window = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE ready = nullptr;
    std::mutex mutex;
    Frame next;
    bool framePosted = false;
    COLORREF background = RGB(255, 255, 255);
    // Touched on the window's thread only.
    HBITMAP picture = nullptr;
};
