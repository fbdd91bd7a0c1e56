#include "framework/CAnimateCtrl.h"

#include <commctrl.h>

BOOL CAnimateCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    m_hWnd = CreateWindowExA(0, ANIMATE_CLASSA, "", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

BOOL CAnimateCtrl::Open(UINT id)
{
    return static_cast<BOOL>(SendMessageA(m_hWnd, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                                          reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id))));
}

BOOL CAnimateCtrl::Play(UINT from, UINT to, UINT repeat)
{
    return static_cast<BOOL>(SendMessageA(m_hWnd, ACM_PLAY, repeat, MAKELPARAM(from, to)));
}

BOOL CAnimateCtrl::Stop()
{
    return static_cast<BOOL>(SendMessageA(m_hWnd, ACM_STOP, 0, 0));
}

BOOL CAnimateCtrl::Close()
{
    return static_cast<BOOL>(SendMessageA(m_hWnd, ACM_OPENA, 0, 0));
}
