#include "GdiObjects.h"

#include "CWnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : window(wnd->m_hWnd), dc(BeginPaint(window, &paint)) {}

CPaintDC::~CPaintDC()
{
    EndPaint(window, &paint);
}
