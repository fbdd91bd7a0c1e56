#pragma once
// Owners of GDI objects and device contexts. A window paints for hours: every object it
// creates is deleted and every selection undone, by scope.
#include "framework/Unique.h"
#include "framework/Win.h"

class CWnd;

template <class H>
struct GdiObjectTraits {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { DeleteObject(handle); }
};

using OwnedFont = Unique<GdiObjectTraits<HFONT>>;
using OwnedBrush = Unique<GdiObjectTraits<HBRUSH>>;
using OwnedRgn = Unique<GdiObjectTraits<HRGN>>;
using OwnedBitmap = Unique<GdiObjectTraits<HBITMAP>>;

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle dc) { DeleteDC(dc); }
};

// A memory device context from CreateCompatibleDC.
using OwnedMemoryDc = Unique<MemoryDcTraits>;

// Selects an object into a device context and selects the previous one again when it
// ends; declare it after the owner of the object, so the object is deselected before
// it is deleted.
class ObjectSelection {
public:
    ObjectSelection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;
    ~ObjectSelection() { Restore(); }

    // Selects another object in place of the current one; Restore still goes back to
    // the object selected before this scope.
    void Select(HGDIOBJ object)
    {
        if (previous)
            SelectObject(dc, object);
    }
    void Restore()
    {
        if (previous)
            SelectObject(dc, previous);
        previous = nullptr;
    }

private:
    HDC dc;
    HGDIOBJ previous;
};

// BeginPaint ... EndPaint on a window of ours.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC();

    HDC GetSafeHdc() const { return dc; }

private:
    HWND window;
    PAINTSTRUCT paint = {};
    HDC dc;
};
