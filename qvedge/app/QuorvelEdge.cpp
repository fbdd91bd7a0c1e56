#include "qvedge/app/QuorvelEdge.h"

#include "common/Logger.h"
#include "common/ProgramBaseName.h"
#include "framework/CWnd.h"
#include "framework/OleInit.h"
#include "qvedge/app/ConfigureMode.h"
#include "qvedge/app/FeatureControl.h"
#include "qvedge/app/ModeDispatch.h"
#include "qvedge/app/QuorvelSmallPreview.h"
#include "qvedge/config/ConfigLoading.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/feed/MemNamespace.h"

#include <commctrl.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdlib>
#include <ctime>
#include <memory>

// Built in this order before WinMain, destroyed in the reverse order at exit.
CQuorvelModule theModule;
std::string logFilePath;
CQuorvelApp theApp;
std::vector<WebView2Wrapper*> webViewWrappers;

namespace {

constexpr DWORD ALL_COMMON_CONTROL_CLASSES = 0xFF;

void logWindowProcFailure(UINT message, const char* description)
{
    QVLOG_AS("WindowProc", "Message " << message << " handler failed: " << description);
}
constexpr int LOG_SEPARATOR_LENGTH = 53;

// The Documents folder in the current locale's code page; the temp folder when the
// shell has none or its path does not convert.
std::string logFolder()
{
    PWSTR documents = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_SIMPLE_IDLIST, nullptr, &documents);
    // The extra byte keeps the text terminated when the conversion fills the buffer.
    char folder[MAX_PATH + 1] = {};
    size_t converted = static_cast<size_t>(-1);
    if (SUCCEEDED(found))
        converted = std::wcstombs(folder, documents, MAX_PATH);
    CoTaskMemFree(documents);
    if (converted != static_cast<size_t>(-1))
        return folder;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

class AppStartModes : public StartModes {
public:
    AppStartModes(CQuorvelApp& app, CQuorvelCmdInfo& cmdInfo) : app(app), cmdInfo(cmdInfo) {}

    int configure() override { return runConfigureMode(); }
    BOOL preview() override { return app.RunPreview(cmdInfo); }
    BOOL show() override { return app.RunShow(cmdInfo); }

private:
    CQuorvelApp& app;
    CQuorvelCmdInfo& cmdInfo;
};

} // namespace

std::string moduleBaseNameOf(const CString& modulePath)
{
    CString name = modulePath.Mid(modulePath.ReverseFind('\\') + 1);
    const int dot = name.ReverseFind('.');
    if (dot >= 0)
        name = name.Left(dot);
    return name.str();
}

CString moduleDirOf(const CString& modulePath)
{
    const int slash = modulePath.ReverseFind('\\');
    return slash >= 0 ? modulePath.Left(slash) : CString();
}

std::string logBasePath(const char* folder, const std::string& baseName)
{
    // Formed without a length limit: a path beyond MAX_PATH cannot be opened, so a
    // logger that is switched on would write to the console only.
    CString path;
    path.Format("%s/%s", folder, baseName.c_str());
    return path.str();
}

void CQuorvelApp::InitModuleNames()
{
    modulePath = getProgramPath();
    moduleBaseName = moduleBaseNameOf(modulePath);
    moduleDir = moduleDirOf(modulePath);
}

BOOL CQuorvelApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ALL_COMMON_CONTROL_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    InitModuleNames();

    logFilePath = logBasePath(logFolder().c_str(), moduleBaseName);
    logging::getFileLogger() << std::string(LOG_SEPARATOR_LENGTH, '-') + "\n";
    QVLOG("qvEdge started");
    windowProcFailureReport = logWindowProcFailure;

    AfxOleInit();
    CoInternetSetFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS, TRUE);

    CQuorvelCmdInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!PrepareConfiguration(cmdInfo))
        return FALSE;
    return DispatchMode(cmdInfo);
}

BOOL CQuorvelApp::PrepareConfiguration(CQuorvelCmdInfo& cmdInfo)
{
    if (cmdInfo.engine) {
        // The engine report needs no configuration and leaves the registry alone.
        config.exitConditions = ENGINE_EXIT_CONDITIONS;
        config.timeOut = ENGINE_TIME_OUT;
        return TRUE;
    }
    if (cmdInfo.ssTest)
        config.testMode = true;
    const int error = LoadConfig(cmdInfo);
    // A step of the start-up, so its record names the start-up.
    QVLOG_AS("InitInstance", "Call SetupRegistry()");
    SetupRegistry();
    if (error != 0) {
        showConfigurationError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL CQuorvelApp::DispatchMode(CQuorvelCmdInfo& cmdInfo)
{
    AppStartModes modes(*this, cmdInfo);
    return dispatchMode(cmdInfo, modes);
}

BOOL CQuorvelApp::RunPreview(CQuorvelCmdInfo& cmdInfo)
{
    previewParent = cmdInfo.previewParent;
    // Without a live parent there is nothing to draw in: end as after a failed start.
    if (!IsWindow(previewParent))
        return FALSE;
    CWnd* parent = CWnd::FromHandle(previewParent);
    RECT rect;
    parent->GetClientRect(&rect);
    auto preview = std::make_unique<CQuorvelSmallPreview>();
    if (!preview->CreateEx(0, "preview", WS_CHILD | WS_VISIBLE, rect, parent, 0))
        return FALSE;
    // The window lives until the settings dialog destroys its parent; that ends the loop.
    m_pMainWnd = preview.release();
    return TRUE;
}

BOOL CQuorvelApp::RunShow(CQuorvelCmdInfo& cmdInfo)
{
    DWORD connectionFlags = 0;
    internetConnected = InternetGetConnectedState(&connectionFlags, 0);
    if (!registerMemNamespace(internetSession, protocolFactory))
        return FALSE;
    const int monitorMode = cmdInfo.engine ? ENGINE_MONITOR_MODE : config.multiMonitorMode;

    auto dialog = std::make_unique<CQuorvelDlg>();
    dialog->SetTestMode(cmdInfo.configPathGiven);
    dialog->SetEngineMode(cmdInfo.engine);
    dialog->SetMonitorMode(monitorMode);
    // A configuration error has ended the start-up before this point.
    dialog->LogError(0);
    dialog->ieEngine = cmdInfo.forceIE;

    m_pMainWnd = dialog.get();
    if (!dialog->Create(CQuorvelDlg::IDD, nullptr))
        return FALSE;
    while (!dialog->loopDone)
        dialog->RunMyModalLoop(0);
    return FALSE;
}

int CQuorvelApp::ExitInstance()
{
    unregisterMemNamespace(internetSession, protocolFactory);
    theModule.RevokeClassObjects();
    CoInternetSetFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS, FALSE);
    return CWinApp::ExitInstance();
}

int CQuorvelApp::LoadConfig(CQuorvelCmdInfo& cmdInfo)
{
    if (cmdInfo.configPathGiven) {
        // A test run reads the named file and nothing else.
        QVLOG("TEST mode");
        if (cmdInfo.configPath.IsEmpty())
            return CONFIG_NOT_READABLE;
        QVLOG("Path: " << cmdInfo.configPath);
        return configReaders.readFile(config, cmdInfo.configPath);
    }

    // Whatever a source reports when it fails, the next one is tried.
    QVLOG("Check self executable: " << cmdInfo.configPath);
    if (configReaders.readSelf(config, cmdInfo.configPath) == CONFIG_OK)
        return CONFIG_OK;

    QVLOG("Check registry");
    CString packagePath;
    if (configReaders.registryPath(packagePath) && configReaders.readFile(config, packagePath) == CONFIG_OK)
        return CONFIG_OK;

    CString datPath;
    datPath.Format("%s\\%s.dat", moduleDir.GetString(), moduleBaseName.c_str());
    QVLOG("Check current folder for dat: " << datPath);
    if (configReaders.readFile(config, datPath) == CONFIG_OK)
        return CONFIG_OK;

    QVLOG("Config not found.");
    return CONFIG_NOT_READABLE;
}
