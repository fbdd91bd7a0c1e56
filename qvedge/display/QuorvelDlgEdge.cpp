#include "qvedge/display/QuorvelDlg.h"

// The WebView2 road of the content start-up.

LRESULT CQuorvelDlg::OnInitializeWindowMessage(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CQuorvelDlg::OnWebPageLoaded(WPARAM, LPARAM)
{
    return 0;
}
