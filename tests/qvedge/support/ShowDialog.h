#pragma once
// The screensaver dialog built as the start-up builds it: constructed, configured through
// the setters, made the main window and created modeless from its template.
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/QuorvelDlg.h"

#include <gtest/gtest.h>

#include <memory>

struct ShowOptions {
    BOOL testRun = FALSE;
    bool engine = false;
    int monitorMode = 2;
    int error = 0;
    bool ie = false;
    BOOL connected = TRUE;
    int exitConditions = 0;
};

inline std::unique_ptr<CQuorvelDlg> createShowDialog(const ShowOptions& options = ShowOptions())
{
    theApp.internetConnected = options.connected;
    theApp.config.exitConditions = options.exitConditions;
    auto dialog = std::make_unique<CQuorvelDlg>();
    dialog->SetTestMode(options.testRun);
    dialog->SetEngineMode(options.engine);
    dialog->SetMonitorMode(options.monitorMode);
    dialog->LogError(options.error);
    dialog->ieEngine = options.ie;
    theApp.m_pMainWnd = dialog.get();
    EXPECT_TRUE(dialog->Create(CQuorvelDlg::IDD, nullptr));
    return dialog;
}

// Runs the loop as the start-up does, until it reports its end; its last result.
inline int runShowLoop(CQuorvelDlg& dialog)
{
    int result = 0;
    while (!dialog.loopDone)
        result = dialog.RunMyModalLoop(0);
    return result;
}

inline bool takePosted(HWND window, UINT message)
{
    MSG msg;
    return PeekMessageA(&msg, window, message, message, PM_REMOVE) != 0;
}
