#include "framework/CWinApp.h"

#include "framework/OleInit.h"

namespace {
CWinApp* currentApp = nullptr;
}

CWinApp::CWinApp(const char* appName)
    : appTitle(appName)
{
    currentApp = this;
}

CWinApp::~CWinApp()
{
    if (currentApp == this)
        currentApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    while (GetMessageA(&m_msgCur, nullptr, 0, 0) > 0) {
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    parseCommandLineWords(info, __argc - 1, __argv + 1);
}

void CWinApp::SetCurrentHandles(HINSTANCE instance)
{
    m_hInstance = instance;
    if (appTitle.IsEmpty())
        appTitle.LoadString(AFX_IDS_APP_TITLE);
    m_pszAppName = appTitle;
}

CWinApp* AfxGetApp()
{
    return currentApp;
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->SetCurrentHandles(instance);
    int exitCode;
    if (app->InitInstance()) {
        exitCode = app->Run();
    } else {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        exitCode = app->ExitInstance();
    }
    AfxOleTerm();
    return exitCode;
}

// The program's entry. Console executables (the tests) start at main instead and never
// call it, so linking this library there is harmless.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(instance);
}
