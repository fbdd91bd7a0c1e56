#include "QuorvelDlg.h"

#include "Logger.h"

BOOL CQuorvelDlg::Create(UINT, CWnd*)
{
    return TRUE;
}

int CQuorvelDlg::RunMyModalLoop(DWORD)
{
    loopDone = true;
    return IDCANCEL;
}

void CQuorvelDlg::SetTestMode(BOOL on)
{
    testRun = on;
    testHold = on;
    QVLOG("Set test mode " << on);
}

void CQuorvelDlg::SetEngineMode(bool on)
{
    engineMode = on;
    QVLOG("Set engine report mode " << on);
}

void CQuorvelDlg::SetMonitorMode(int mode)
{
    monitorMode = mode;
    QVLOG("Set monitor mode " << mode);
}

void CQuorvelDlg::LogError(int code)
{
    errorCode = code;
    errorFlag = code != 0;
    QVLOG("CQuorvelDlg::ReportError " << code);
}
