#pragma once
#include "framework/CAnimateCtrl.h"
#include "framework/CDialog.h"
#include "framework/CFont.h"
#include "framework/CString.h"
#include "framework/OleInit.h"
#include "framework/Win.h"
#include "qvedge/config/QuorvelConf.h"
#include "qvedge/display/InputHooks.h"
#include "qvedge/display/MonitorLayout.h"
#include "qvedge/display/TouchWnd.h"
#include "qvedge/res/display_resource.h"
#include "qvedge/views/CQuorvelView.h"

// The dialog's own messages; each handler takes WPARAM and LPARAM and returns 0.
constexpr UINT WM_AFTERINIT = WM_APP + 1;
constexpr UINT WM_OPENWEBURL = WM_APP + 2;
constexpr UINT WM_HTMLDOCCMPL = WM_APP + 3;
// Handled, but sent by nobody.
constexpr UINT WM_APP_RESERVED_FIRST = WM_APP + 4;
constexpr UINT WM_APP_RESERVED_SECOND = WM_APP + 5;
// The values 0x464 to 0x466 are also the animation control's ACM_OPENA, ACM_PLAY and
// ACM_STOP: the dialog sends those to its animation child only, never to itself.
constexpr UINT WM_InitializeWindow = WM_USER + 100;
constexpr UINT WM_WebPageLoaded = WM_USER + 102;
constexpr UINT WM_WebPageExecuteScript = WM_USER + 104;

// The dialog's timers.
constexpr UINT_PTR URL_CHANGE_TIMER = 1;
constexpr UINT_PTR DOCUMENTCOMPLETE_TIMER = 2;
constexpr UINT_PTR TESTTIMEOUT_TIMER = 4;
constexpr UINT DOCUMENTCOMPLETE_PERIOD_MS = 5000;
constexpr UINT TESTTIMEOUT_PERIOD_MS = 15000;

// Errors of errorCode besides the configuration's own codes (QuorvelConf.h).
constexpr int ERROR_NO_REGISTRY_PATH = 1;
constexpr int ERROR_BROWSER_INIT = 5;
// No Internet connection: painted as a picture instead of a text.
constexpr int ERROR_NO_INTERNET = 6;

// The engine report page and the version it shows.
constexpr const char* ENGINE_VERSION_TOKEN = "%%VERSION%%";
constexpr const char* ENGINE_VERSION = "25.0.1.0";

// The loading animation: its control id and style; it plays every frame, forever.
constexpr UINT LOADING_ANIMATION_ID = 131;
constexpr DWORD LOADING_ANIMATION_STYLE = 0x50000003;  // WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT | ACS_CENTER
constexpr UINT LOADING_LAST_FRAME = 0xFFFF;
constexpr UINT LOADING_REPEAT_FOREVER = static_cast<UINT>(-1);

// Arial heights, in logical units, of the error texts and the footer line.
constexpr int ERROR_FONT_HEIGHT = 35;
constexpr int FOOTER_FONT_HEIGHT = 21;

// The pointer's screen position, GetCursorPos unless a test puts another in its place. It
// can fail (a screensaver on the secure desktop may be refused it): that is no movement
// and no footer hit.
extern BOOL(WINAPI* cursorPosition)(LPPOINT point);

// The system's SetTimer, through which the dialog starts its timers; tests put their own
// in its place to see the periods asked for.
extern UINT_PTR(WINAPI* dialogSetTimer)(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC proc);

// RunMyModalLoop's state, kept from one call to the next; one dialog per process.
struct ModalLoopState {
    bool started = false;
    BOOL idle = TRUE;
    LONG idleCount = 0;
    HWND parent = nullptr;
    MSG* current = nullptr;
};
extern ModalLoopState loopState;

// What the exit conditions keep for the whole run: the screen position mouse movement
// is measured from ((-1, -1) until taken), whether it is still to be taken, and whether
// the first deactivation has passed.
struct ExitWatchState {
    POINT moveStartPoint = {-1, -1};
    BOOL awaitingMoveStart = TRUE;
    bool firstDeactivationSeen = false;
};
extern ExitWatchState exitWatch;

// Set when any WebView2 view reports failure; never cleared.
extern bool webViewLoadFailed;
// Cleared when the all-views-loaded actions run, so they run once per process.
extern bool firstAllLoaded;

// The full-screen window of a show. The start-up configures it through the setters,
// creates it modeless from its template and calls RunMyModalLoop until loopDone.
class CQuorvelDlg : public CDialog {
public:
    enum { IDD = IDD_QUORVEL_DIALOG };

    CQuorvelDlg();
    ~CQuorvelDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    void SetTestMode(BOOL on);
    void SetEngineMode(bool on);
    void SetMonitorMode(int mode);
    void LogError(int code);

    // The class library's modal loop, continued from call to call: returns whenever the
    // queue runs empty, and sets loopDone when the show's loop has ended (-1 after a
    // quit message, else the modal result).
    int RunMyModalLoop(DWORD flags);

    void SetConditions();
    void SetFullScreen();

    // Handlers of the message map.
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND window, UINT controlType);
    void OnTimer(UINT_PTR id);
    void OnSize(UINT type, int width, int height);
    void OnClose();
    void OnActivate(UINT state, HWND other, BOOL minimised);
    LRESULT OnAfterInit(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenWebUrl(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitializeWindowMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnWebPageLoaded(WPARAM wParam, LPARAM lParam);
    LRESULT OnWebPageExecuteScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnDocumentComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnReservedAppMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnKbdMouseQuit(WPARAM wParam, LPARAM lParam);

    // Declared first, so the thread's COM is left only after every view has gone.
    ComInitialization comInitialization;
    CQuorvelView views;
    bool loopDone = false;
    bool hooksInstalled = false;
    bool documentCompleted = false;
    bool fullScreenSet = false;
    HICON appIcon = nullptr;
    MonitorLayout monitorLayout;
    UINT_PTR timerUrlChange = 0;
    UINT_PTR timerDocComplete = 0;
    UINT_PTR timerTestTimeOut = 0;
    BOOL exitMouseMove = TRUE;
    BOOL exitMouseButton = TRUE;
    BOOL exitEscKey = TRUE;
    BOOL exitKeys = TRUE;
    BOOL exitTouch = TRUE;
    BOOL conditionsSet = FALSE;
    bool afterInitPosted = false;
    bool docCompleteTimerStarted = false;
    RECT footerRect = {};
    RECT htmlRect = {};
    RECT screensaverRect = {};
    RECT screenRect = {};
    CFont errorFont;
    CFont footerFont;
    BOOL errorFlag = FALSE;
    int errorCode = 0;
    bool contentShown = false;
    BOOL testRun = FALSE;
    BOOL testHold = FALSE;
    int monitorMode = MONITOR_MAIN_ONLY;
    BOOL engineMode = FALSE;
    bool ieEngine = false;
    CString engineReportHtml;
    CTouchWnd touchWindow;
    CAnimateCtrl LoadingAnimation;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter and Esc never close the show through the dialog manager.
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool cursorInFooter() const;
    void startLoadingAnimation();
    void createTouchWindow();
    // The WebView2 road's two outcomes of a report (QuorvelDlgEdge.cpp).
    void fallBackToInternetExplorer();
    void showWhenAllLoaded();
};
