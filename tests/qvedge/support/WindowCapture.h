#pragma once
// The pixels a window shows, read as the notes on Wine advise: GetDC, then BitBlt into a
// 32-bpp top-down DIB section.
#include "framework/Win.h"

#include <cstdint>
#include <vector>

class WindowCapture {
public:
    explicit WindowCapture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        pixels.resize(static_cast<size_t>(width) * height);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        HDC windowDc = GetDC(window);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(windowDc);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = source[i] & 0xFFFFFF;
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        ReleaseDC(window, windowDc);
    }

    // 0xRRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    // The smallest rectangle around the pixels of area that satisfy is; all zero when none does.
    template <class Predicate>
    RECT boxOf(const RECT& area, Predicate is) const
    {
        RECT box = {};
        bool found = false;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (is(at(x, y))) {
                    if (!found)
                        box = {x, y, x + 1, y + 1};
                    box.left = x < box.left ? x : box.left;
                    box.right = x + 1 > box.right ? x + 1 : box.right;
                    box.bottom = y + 1;
                    found = true;
                }
        return box;
    }

    template <class Predicate>
    bool all(const RECT& area, Predicate is) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (!is(at(x, y)))
                    return false;
        return true;
    }

    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};
