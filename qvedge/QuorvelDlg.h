#pragma once
#include "CWnd.h"
#include "Win.h"
#include "resource.h"

// The full-screen screensaver dialog, as far as the start-up drives it: configured
// through the setters, created modeless, then looped until loopDone.
class CQuorvelDlg : public CWnd {
public:
    enum { IDD = IDD_QUORVEL_DIALOG };

    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    int RunMyModalLoop(DWORD flags);

    void SetTestMode(BOOL on);
    void SetEngineMode(bool on);
    void SetMonitorMode(int mode);
    void LogError(int code);

    bool loopDone = false;
    BOOL errorFlag = FALSE;
    int errorCode = 0;
    BOOL testRun = FALSE;
    BOOL testHold = FALSE;
    int monitorMode = 1;
    BOOL engineMode = FALSE;
    bool ieEngine = false;
};
