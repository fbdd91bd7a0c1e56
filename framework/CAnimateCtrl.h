#pragma once
#include "framework/CWnd.h"
#include "framework/Win.h"

// The common controls' animation control: plays a silent AVI clip of the resources.
// The control is a child of its parent and dies with it.
class CAnimateCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Opens AVI resource `id` of the program.
    BOOL Open(UINT id);
    // Frames `from` to `to` (0xFFFF: the last), `repeat` times (-1: forever).
    BOOL Play(UINT from, UINT to, UINT repeat);
    BOOL Stop();
    // Closes the clip.
    BOOL Close();
};
