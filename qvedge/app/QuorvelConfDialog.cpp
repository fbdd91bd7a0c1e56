#include "qvedge/app/QuorvelConfDialog.h"

#include "common/ProgramBaseName.h"
#include "qvedge/app/QuorvelEdge.h"

BOOL CQuorvelConfDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetDlgItemText(IDC_COPYRIGHT, CString(COPYRIGHT_PREFIX) + theApp.config.author);
    SetDlgItemText(IDC_PROGRAM_NAME, getProgramBaseName());
    return TRUE;
}
