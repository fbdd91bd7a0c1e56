#pragma once
#include "framework/CCommandLineInfo.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/Win.h"

// The one application object. WinMain calls InitInstance; when it returns TRUE the
// message loop runs until the quit message, then ExitInstance gives the exit code.
class CWinApp {
public:
    // Without a name the title comes from the string table (AFX_IDS_APP_TITLE).
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();
    // The quit message's code, 0 when no loop ran.
    virtual int ExitInstance();

    // Hands every argument after the program name to info.ParseParam.
    void ParseCommandLine(CCommandLineInfo& info);

    // Called once by WinMain before InitInstance.
    void SetCurrentHandles(HINSTANCE instance);

    static constexpr UINT AFX_IDS_APP_TITLE = 57344;

    const char* m_pszAppName = "";
    HINSTANCE m_hInstance = nullptr;
    // Cleared when that window is destroyed, which also posts the quit message.
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};
    // Live OLE objects of the program, counted by AfxOleLockApp and AfxOleUnlockApp.
    LONG oleObjectCount = 0;

private:
    CString appTitle;
};

CWinApp* AfxGetApp();

// The class library's start-up and shutdown around the application object.
int AfxWinMain(HINSTANCE instance);
