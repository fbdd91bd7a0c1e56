#include "framework/GdiObjects.h"

#include "framework/CWnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : window(wnd->m_hWnd), dc(BeginPaint(window, &paint)) {}

CPaintDC::~CPaintDC()
{
    EndPaint(window, &paint);
}
