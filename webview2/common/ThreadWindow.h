#pragma once
// A view's content window: a child of the host made on a thread of its own, as a browser
// process would make it, so input over it reaches the host's thread only through the
// low-level hooks. The thread pumps the window's messages until the window is destroyed,
// by close() or with the host. Subclasses paint it and take messages of their own.
#include "framework/Win.h"

class ThreadWindow {
public:
    ThreadWindow(const ThreadWindow&) = delete;
    ThreadWindow& operator=(const ThreadWindow&) = delete;
    virtual ~ThreadWindow() = default;

    // Starts the thread and makes the window there, hidden; false when either fails.
    bool open(HWND parent);
    // Destroys the window and ends the thread; harmless when the host (and with it the
    // window) is gone already. Subclasses call it from their destructor, while the thread
    // may still reach their overrides.
    void close();

protected:
    // Every window of the subclass is of the class named.
    explicit ThreadWindow(const wchar_t* className) : className(className) {}

    // These run on the window's thread.
    virtual void paint(HWND target) = 0;
    // A message of the subclass's own (WM_APP and above).
    virtual void received(HWND, UINT) {}
    // The window is being destroyed.
    virtual void destroyed() {}

    // Null until opened and once closed.
    HWND window = nullptr;

private:
    static DWORD WINAPI threadMain(void* self);
    static LRESULT CALLBACK windowProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

    const wchar_t* className;
    HWND parent = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HANDLE ready = nullptr;
};
