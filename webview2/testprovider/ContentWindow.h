#pragma once
// A view's content window. It paints a colour derived from its text (the address or the
// page text) with the text written on it. Calls come from the UI thread; the content
// thread never sends to it.
#include "webview2/common/ThreadWindow.h"

#include <mutex>
#include <string>

// The window class of every content window.
constexpr const wchar_t* CONTENT_WINDOW_CLASS = L"QuorvelRuntimeContent";

class ContentWindow final : public ThreadWindow {
public:
    ContentWindow() : ThreadWindow(CONTENT_WINDOW_CLASS) {}
    ~ContentWindow() override;

    // Repaints at once when visible.
    void setText(const std::wstring& text);
    void place(const RECT& bounds);
    void show(bool visible);

private:
    void paint(HWND target) override;

    std::mutex textMutex;
    std::wstring text;
};

// The colour painted for a text: a saturated hue from a hash of it.
COLORREF contentColour(const std::wstring& text);
