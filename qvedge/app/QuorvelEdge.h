#pragma once
#include "framework/CString.h"
#include "framework/ComPtr.h"
#include "framework/CWinApp.h"
#include "framework/Win.h"
#include "qvedge/app/QuorvelCmdInfo.h"
#include "qvedge/app/QuorvelModule.h"
#include "qvedge/config/QuorvelConf.h"
#include "qvedge/views/edge/WebView2Wrapper.h"

#include <urlmon.h>

#include <string>
#include <vector>

// The application: start-up, mode dispatch and shutdown.
class CQuorvelApp : public CWinApp {
public:
    CQuorvelApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    void InitModuleNames();
    // A configuration error code: 0 read, 2 none readable, 3 empty address list.
    int LoadConfig(CQuorvelCmdInfo& cmdInfo);

    // The configuration step; FALSE when a configuration error ended the start-up.
    BOOL PrepareConfiguration(CQuorvelCmdInfo& cmdInfo);
    BOOL DispatchMode(CQuorvelCmdInfo& cmdInfo);
    // TRUE when the preview window lives inside the given parent.
    BOOL RunPreview(CQuorvelCmdInfo& cmdInfo);
    // The show and the test run; always FALSE once the show has ended.
    BOOL RunShow(CQuorvelCmdInfo& cmdInfo);

    // The browser-engine report run: keyboard, mouse move, mouse button and Esc end it.
    static constexpr int ENGINE_EXIT_CONDITIONS = 15;
    static constexpr int ENGINE_TIME_OUT = 10;
    static constexpr int ENGINE_MONITOR_MODE = MONITOR_MAIN_ONLY;

    ComPtr<IClassFactory> protocolFactory;
    ComPtr<IInternetSession> internetSession;
    std::string moduleBaseName;
    CString modulePath;
    CString moduleDir;
    CQuorvelConf config;
    HWND previewParent = nullptr;
    BOOL internetConnected = FALSE;
};

// The program file's name after its last backslash, cut before its last "." (whole
// when it has none).
std::string moduleBaseNameOf(const CString& modulePath);
// The path left of its last backslash; empty when it has none.
CString moduleDirOf(const CString& modulePath);
// The log file's base path: "%s/%s" of the folder and the base name.
std::string logBasePath(const char* folder, const std::string& baseName);

extern CQuorvelModule theModule;
extern CQuorvelApp theApp;
extern std::vector<WebView2Wrapper*> webViewWrappers;
