#include "qvedge/display/QuorvelDlg.h"

// The Internet Explorer road of the content start-up.

LRESULT CQuorvelDlg::OnAfterInit(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnDocumentComplete(WPARAM, LPARAM)
{
    return 0;
}
