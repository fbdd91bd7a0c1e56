// The Internet Explorer view over Wine's real WebBrowser control.
#include "qvedge/views/ie/QuorvelVw.h"

#include "framework/CView.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/views/ie/QuorvelDoc.h"
#include "tests/framework/support/BrowserFactoryStandIn.h"
#include "tests/framework/support/BrowserProbe.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/OleThread.h"
#include "tests/qvedge/support/ViewWindowRefusal.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string viewSource = "QuorvelVw.cpp\t";

// A view made as the views container makes it, over a plain parent that stands in for the
// dialog and receives what the view posts.
class QuorvelVwTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ole.result);
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "dialog", WS_POPUP, RECT{0, 0, 640, 480}, nullptr, 0));
        document = new CQuorvelDoc;
        context.m_pNewViewClass = RUNTIME_CLASS(CQuorvelVw);
        context.m_pCurrentDoc = document;
    }
    void TearDown() override
    {
        view.reset();
        parent.DestroyWindow();
    }

    bool create()
    {
        view.reset(static_cast<CQuorvelVw*>(CreateView(&parent, &context)));
        return view != nullptr;
    }

    bool posted(UINT message, WPARAM wParam, LPARAM lParam)
    {
        MSG msg;
        return PeekMessageA(&msg, parent.m_hWnd, message, message, PM_REMOVE) && msg.wParam == wParam &&
               msg.lParam == lParam;
    }
    bool nothingPosted()
    {
        MSG msg;
        return !PeekMessageA(&msg, parent.m_hWnd, 0, 0, PM_REMOVE);
    }

    ComPtr<IDispatch> sink() const
    {
        ComPtr<IDispatch> result;
        result.Reset(view->GetEventSink());
        return result;
    }

    OleThread ole;
    LogCapture log;
    CWnd parent;
    CQuorvelDoc* document = nullptr;
    CCreateContext context;
    std::unique_ptr<CQuorvelVw> view;
};

TEST_F(QuorvelVwTest, CreatesAHiddenBorderlessViewOverARealControl)
{
    ASSERT_TRUE(create());
    EXPECT_TRUE(log.has(viewSource + "Create\tCreating CQuorvelVw"));
    EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, "CQuorvelVw");
    ASSERT_TRUE(view->m_pBrowserApp);
    EXPECT_FALSE(shown(view->m_hWnd));
    EXPECT_EQ(GetWindowLongA(view->m_hWnd, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(GetDlgCtrlID(view->m_hWnd), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(static_cast<UINT>(GetClassLongA(view->m_hWnd, GCL_STYLE)), static_cast<UINT>(CS_DBLCLKS));
    // The class change reaches views only.
    EXPECT_EQ(GetClassLongA(parent.m_hWnd, GCL_STYLE), 0);
    HWND control = controlWindowOf(view->m_hWnd);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(view->GetDocument(), document);
    EXPECT_EQ(view->navigateCount, 0);
}

TEST_F(QuorvelVwTest, ControlCoversTheViewAfterItMoves)
{
    ASSERT_TRUE(create());
    MoveWindow(view->m_hWnd, 30, 40, 320, 200, TRUE);
    RECT viewRect;
    RECT controlRect;
    GetWindowRect(view->m_hWnd, &viewRect);
    GetWindowRect(controlWindowOf(view->m_hWnd), &controlRect);
    EXPECT_EQ(controlRect.left, viewRect.left);
    EXPECT_EQ(controlRect.top, viewRect.top);
    EXPECT_EQ(controlRect.right - controlRect.left, 320);
    EXPECT_EQ(controlRect.bottom - controlRect.top, 200);
}

TEST_F(QuorvelVwTest, ACreationThatFailsLeavesNoWindow)
{
    struct Case {
        const char* name;
        bool refuseWindow;
        bool windowFailureLogged;
    };
    const Case cases[] = {
        {"view window refused", true, true},
        {"no such control class", false, false},
    };
    // The failing views join no document.
    context.m_pCurrentDoc = nullptr;
    for (const Case& c : cases) {
        const size_t recordsBefore = log.records().size();
        ViewWindowRefusal refusal(c.refuseWindow ? 1 : 0);
        ASSERT_TRUE(refusal.installed());
        CQuorvelVw failing;
        failing.browserClsid = {0x5e0b0a3c, 0x1f2d, 0x4e6b, {0x9a, 0x11, 0x21, 0x7c, 0x33, 0x44, 0x55, 0x66}};
        EXPECT_FALSE(failing.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, RECT{}, &parent, AFX_IDW_PANE_FIRST,
                                    &context))
            << c.name;
        EXPECT_EQ(failing.m_hWnd, nullptr) << c.name;
        EXPECT_EQ(GetWindow(parent.m_hWnd, GW_CHILD), nullptr) << c.name;
        EXPECT_FALSE(failing.m_pBrowserApp) << c.name;
        const std::vector<std::string> records = log.records();
        const std::string failure = viewSource + "Create\tError creating CView";
        EXPECT_EQ(std::count(records.begin() + recordsBefore, records.end(), failure), c.windowFailureLogged ? 1 : 0)
            << c.name;
    }
    EXPECT_FALSE(log.has(viewSource + "Create\tError creating QueryInterface"));
}

// The real control inside an object that answers everything but the browser interfaces.
class WithoutBrowserInterface : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(iid, IID_IWebBrowser2) || IsEqualIID(iid, IID_IWebBrowserApp) ||
            IsEqualIID(iid, IID_IWebBrowser))
            return E_NOINTERFACE;
        return inner->QueryInterface(iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG count = --refs;
        if (count == 0)
            delete this;
        return count;
    }

    ComPtr<IUnknown> inner;

private:
    virtual ~WithoutBrowserInterface() = default;
    ULONG refs = 1;
};

// Makes real controls that hide their browser interface.
class ControlWithoutBrowserInterface : public BrowserFactoryStandIn {
public:
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        *out = nullptr;
        auto* outer = new WithoutBrowserInterface;
        // Wine's control can be aggregated: the outer object decides what it answers.
        HRESULT hr = real->CreateInstance(outer, IID_IUnknown,
                                          reinterpret_cast<void**>(outer->inner.ReleaseAndGetAddressOf()));
        if (SUCCEEDED(hr))
            hr = outer->QueryInterface(iid, out);
        outer->Release();
        return hr;
    }
};

TEST_F(QuorvelVwTest, AControlWithoutTheBrowserInterfaceLeavesNoWindow)
{
    ControlWithoutBrowserInterface control;
    ASSERT_TRUE(control.registered());
    context.m_pCurrentDoc = nullptr;
    CQuorvelVw failing;
    EXPECT_FALSE(
        failing.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, RECT{}, &parent, AFX_IDW_PANE_FIRST, &context));
    EXPECT_TRUE(log.has(viewSource + "Create\tError creating QueryInterface"));
    EXPECT_EQ(failing.m_hWnd, nullptr);
    EXPECT_FALSE(failing.m_pBrowserApp);
    EXPECT_EQ(GetWindow(parent.m_hWnd, GW_CHILD), nullptr);
}

TEST_F(QuorvelVwTest, InitialUpdateIsLoggedWithTheViewNumber)
{
    ASSERT_TRUE(create());
    view->viewNumber = 3;
    SendMessageA(view->m_hWnd, WM_INITIALUPDATE, 0, 0);
    EXPECT_TRUE(log.has(viewSource + "OnInitialUpdate\tView #3 CQuorvelVw::OnInitialUpdate()"));
}

TEST_F(QuorvelVwTest, NavigateSendsTheControlToTheAddress)
{
    ASSERT_TRUE(create());
    view->viewNumber = 1;
    view->Navigate2("https://localhost/first");
    EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"https://localhost/first");
    view->Navigate2("https://localhost/second");
    // A later navigation of the control moves on once its messages are handled.
    pumpUntil([&] { return locationOf(view->m_pBrowserApp.Get()) == L"https://localhost/second"; });
    EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"https://localhost/second");
    EXPECT_TRUE(log.has(viewSource + "Navigate2\tView #1 navigate to https://localhost/first"));
    EXPECT_TRUE(log.has(viewSource + "Navigate2\tView #1 navigate to https://localhost/second"));
    EXPECT_EQ(view->navigateCount, 2);
}

TEST_F(QuorvelVwTest, EveryTenthNavigationTrimsTheWorkingSet)
{
    ASSERT_TRUE(create());
    view->viewNumber = 2;
    const std::string trim = viewSource + "Navigate2\tView #2 reset size";
    std::vector<int> trimmedAt;
    for (int call = 1; call <= 21; ++call) {
        const size_t before = log.records().size();
        view->Navigate2("https://localhost/page");
        const std::vector<std::string> records = log.records();
        for (size_t i = before; i < records.size(); ++i)
            if (records[i] == trim)
                trimmedAt.push_back(call);
    }
    EXPECT_EQ(trimmedAt, (std::vector<int>{10, 20}));
    EXPECT_EQ(view->navigateCount, 1);
}

TEST_F(QuorvelVwTest, AFailedNavigationShowsTheViewWithTheStatus)
{
    ASSERT_TRUE(create());
    // Nothing listens on port 1 of the loopback address.
    view->Navigate2("https://127.0.0.1:1/");
    pumpUntil([&] { return shown(view->m_hWnd); });
    EXPECT_TRUE(shown(view->m_hWnd));
    bool logged = false;
    for (const std::string& record : log.records())
        logged = logged || record.rfind(viewSource + "OnNavigateError\tView #0 CQuorvelVw::OnNavigateError = ", 0) == 0;
    EXPECT_TRUE(logged);
    EXPECT_TRUE(nothingPosted());
}

TEST_F(QuorvelVwTest, NavigateErrorThroughTheSinkShowsTheViewAndCancelsNothing)
{
    ASSERT_TRUE(create());
    view->viewNumber = 4;
    TextVariant url(L"https://localhost/gone");
    TextVariant frame(nullptr);
    VARIANT status = numberVariant(static_cast<LONG>(0x800C0008));
    VARIANT_BOOL cancel = VARIANT_TRUE;
    EXPECT_EQ(S_OK, raiseEvent(sink().Get(), DISPID_NAVIGATEERROR,
                               {dispatchArgument(nullptr), byRef(&url.value), byRef(&frame.value), byRef(&status),
                                boolByRef(&cancel)}));
    EXPECT_TRUE(shown(view->m_hWnd));
    EXPECT_TRUE(log.has(viewSource + "OnNavigateError\tView #4 CQuorvelVw::OnNavigateError = 2148270088"));
    // The control shows its own error page.
    EXPECT_EQ(cancel, VARIANT_FALSE);
}

TEST_F(QuorvelVwTest, OnlyTheTopLevelDocumentWithAnAddressIsReported)
{
    ASSERT_TRUE(create());
    view->viewNumber = 5;
    ComPtr<IDispatch> topLevel;
    ASSERT_EQ(S_OK, view->m_pBrowserApp->QueryInterface(IID_IDispatch,
                                                        reinterpret_cast<void**>(topLevel.ReleaseAndGetAddressOf())));
    ComPtr<IDispatch> frame = sink();
    struct Case {
        const char* name;
        IDispatch* document;
        const wchar_t* url;
        bool reported;
    };
    const Case cases[] = {
        {"frame", frame.Get(), L"https://localhost/frame", false},
        {"top level without address", topLevel.Get(), nullptr, false},
        {"top level", topLevel.Get(), L"https://localhost/page", true},
    };
    const std::string record = viewSource +
                               "DocumentComplete\tView #5 CQuorvelVw::DocumentComplete - GetParent()->PostMessage("
                               "WM_HTMLDOCCMPL, 0, 0)";
    for (const Case& c : cases) {
        ShowWindow(view->m_hWnd, SW_HIDE);
        TextVariant url(c.url);
        EXPECT_EQ(S_OK,
                  raiseEvent(sink().Get(), DISPID_DOCUMENTCOMPLETE, {dispatchArgument(c.document), byRef(&url.value)}));
        EXPECT_TRUE(shown(view->m_hWnd)) << c.name;
        EXPECT_EQ(posted(WM_HTMLDOCCMPL, 0, 5), c.reported) << c.name;
        EXPECT_EQ(log.has(record), c.reported) << c.name;
        EXPECT_TRUE(nothingPosted()) << c.name;
    }
}

TEST_F(QuorvelVwTest, DirectCallsActAsTheirEvents)
{
    ASSERT_TRUE(create());
    view->viewNumber = 7;
    ComPtr<IDispatch> topLevel;
    ASSERT_EQ(S_OK, view->m_pBrowserApp->QueryInterface(IID_IDispatch,
                                                        reinterpret_cast<void**>(topLevel.ReleaseAndGetAddressOf())));
    TextVariant url(L"https://localhost/direct");
    view->DocumentComplete(topLevel.Get(), &url.value);
    EXPECT_TRUE(posted(WM_HTMLDOCCMPL, 0, 7));
    EXPECT_TRUE(shown(view->m_hWnd));

    DOCHOSTUIINFO info{};
    EXPECT_EQ(view->OnGetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO));

    IDispatch* newWindow = nullptr;
    BOOL cancel = FALSE;
    view->OnNewWindow2(&newWindow, &cancel);
    EXPECT_FALSE(cancel);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(QuorvelVwTest, ANewWindowRequestEndsTheShow)
{
    ASSERT_TRUE(create());
    view->viewNumber = 6;
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(S_OK, raiseEvent(sink().Get(), DISPID_NEWWINDOW2, {dispatchByRef(&newWindow), boolByRef(&cancel)}));
    EXPECT_EQ(cancel, VARIANT_FALSE);
    EXPECT_TRUE(log.has(viewSource + "OnNewWindow2\tView #6 Error OnNewWindow2 port quit"));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(QuorvelVwTest, HostAsksForNoBorderNoScrollBarsAndNoContextMenu)
{
    ASSERT_TRUE(create());
    ComPtr<IDocHostUIHandler> handler = hostUiHandlerOf(view->m_pBrowserApp.Get());
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info{};
    info.dwFlags = DOCHOSTUIFLAG_DIALOG;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | 0x4 | 0x8));
    EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO));
    POINT point{10, 10};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr), S_OK);
    EXPECT_EQ(view->OnShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr), S_OK);
}

TEST_F(QuorvelVwTest, InputIsHandedToTheDialogExceptTheWheelAndShiftClicks)
{
    ASSERT_TRUE(create());
    HWND control = controlWindowOf(view->m_hWnd);
    struct Case {
        UINT message;
        WPARAM wParam;
        bool forwarded;
        BOOL consumed;
    };
    const LPARAM where = MAKELPARAM(12, 34);
    const Case cases[] = {
        {WM_KEYDOWN, VK_DOWN, true, FALSE},
        {WM_KEYDOWN, VK_UP, true, FALSE},
        {WM_KEYDOWN, 'A', true, FALSE},
        {WM_MOUSEMOVE, 0, true, FALSE},
        {WM_LBUTTONUP, 0, true, FALSE},
        {WM_RBUTTONUP, 0, true, FALSE},
        {WM_MBUTTONUP, 0, true, FALSE},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), false, FALSE},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), false, FALSE},
        {WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, false, TRUE},
        {WM_LBUTTONDOWN, MK_LBUTTON, false, FALSE},
        {WM_RBUTTONDOWN, MK_RBUTTON, false, FALSE},
        {WM_KEYUP, VK_DOWN, false, FALSE},
    };
    for (const Case& c : cases) {
        MSG msg{control, c.message, c.wParam, where};
        EXPECT_EQ(view->PreTranslateMessage(&msg), c.consumed) << std::hex << c.message << " " << c.wParam;
        EXPECT_EQ(posted(c.message, c.wParam, where), c.forwarded) << std::hex << c.message << " " << c.wParam;
        EXPECT_TRUE(nothingPosted()) << std::hex << c.message;
    }
}

TEST_F(QuorvelVwTest, ScrollingWithoutADocumentDoesNothing)
{
    ASSERT_TRUE(create());
    ASSERT_FALSE(view->GetHtmlDocument());
    view->ScrollDown();
    view->ScrollUp();
    EXPECT_TRUE(IsWindow(view->m_hWnd));
    EXPECT_TRUE(nothingPosted());
}

TEST_F(QuorvelVwTest, ErasingTheBackgroundIsAnsweredWithoutPainting)
{
    ASSERT_TRUE(create());
    MoveWindow(view->m_hWnd, 0, 0, 40, 40, FALSE);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_NE(SendMessageA(view->m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(QuorvelVwTest, DeletingTheViewTearsTheControlDown)
{
    ASSERT_TRUE(create());
    HWND viewWindow = view->m_hWnd;
    HWND control = controlWindowOf(viewWindow);
    view.reset();
    EXPECT_FALSE(IsWindow(viewWindow));
    EXPECT_FALSE(IsWindow(control));
}

} // namespace
