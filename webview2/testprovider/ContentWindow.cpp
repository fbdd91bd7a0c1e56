#include "webview2/testprovider/ContentWindow.h"

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
