#pragma once
// A view's content window: a child of the host made on a thread of its own, as a browser
// process would make it, so input over it reaches the host's thread only through the
// low-level hooks. It paints a colour derived from its text (the address or the page
// text) with the text written on it. Calls come from the UI thread; the content thread
// never sends to it.
#include "framework/Win.h"

#include <mutex>
#include <string>

// The window class of every content window.
constexpr const wchar_t* CONTENT_WINDOW_CLASS = L"QuorvelRuntimeContent";

class ContentWindow {
public:
    ContentWindow() = default;
    ContentWindow(const ContentWindow&) = delete;
    ContentWindow& operator=(const ContentWindow&) = delete;
    ~ContentWindow();

    // Starts the thread and makes the window there, hidden; false when either fails.
    bool open(HWND parent);
    // Repaints at once when visible.
    void setText(const std::wstring& text);
    void place(const RECT& bounds);
    void show(bool visible);
    // Destroys the window and ends the thread; harmless when the host (and with it the
    // window) is gone already.
    void close();

private:
    static DWORD WINAPI threadMain(void* self);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);

    HWND parent = nullptr;
    HWND window = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE ready = nullptr;
    std::mutex textMutex;
    std::wstring text;
};

// The colour painted for a text: a saturated hue from a hash of it.
COLORREF contentColour(const std::wstring& text);
