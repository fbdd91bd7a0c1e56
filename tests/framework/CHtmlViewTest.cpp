// The WebBrowser view over Wine's real WebBrowser control.
#include "framework/CHtmlView.h"

#include "tests/framework/support/BrowserProbe.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A view that makes its control as a view of the program would, and records the events.
class TestHtmlView : public CHtmlView {
public:
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                CCreateContext* context) override
    {
        if (!CWnd::Create(className, windowName, style, rect, parent, id, context))
            return FALSE;
        RECT client;
        GetClientRect(&client);
        if (!CreateControl(windowName, WS_CHILD | WS_VISIBLE, client, AFX_IDW_PANE_FIRST)) {
            DestroyWindow();
            return FALSE;
        }
        return SUCCEEDED(GetControlUnknown()->QueryInterface(
            IID_IWebBrowser2, reinterpret_cast<void**>(m_pBrowserApp.ReleaseAndGetAddressOf())));
    }
    void OnNavigateError(const char* url, const char* frame, DWORD statusCode, BOOL* cancel) override
    {
        errors.push_back(std::string(url) + "|" + frame + "|" + std::to_string(statusCode));
        if (cancelErrors)
            *cancel = TRUE;
    }

    std::vector<std::string> errors;
    bool cancelErrors = false;
};

class HtmlViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, OleInitialize(nullptr));
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, RECT{0, 0, 400, 300}, nullptr, 0));
    }
    void TearDown() override
    {
        view.reset();
        parent.DestroyWindow();
        OleUninitialize();
    }

    bool create()
    {
        view = std::make_unique<TestHtmlView>();
        return view->Create(nullptr, "page", WS_CHILD | WS_VISIBLE, RECT{10, 10, 110, 60}, &parent,
                            AFX_IDW_PANE_FIRST, nullptr) != FALSE;
    }

    CWnd parent;
    std::unique_ptr<TestHtmlView> view;
};

TEST_F(HtmlViewTest, ControlFillsTheViewAndFollowsItsSize)
{
    ASSERT_TRUE(create());
    ASSERT_TRUE(view->m_pBrowserApp);
    HWND control = controlWindowOf(view->m_hWnd);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), static_cast<int>(AFX_IDW_PANE_FIRST));
    MoveWindow(view->m_hWnd, 5, 6, 250, 120, TRUE);
    RECT rect;
    GetWindowRect(control, &rect);
    EXPECT_EQ(rect.right - rect.left, 250);
    EXPECT_EQ(rect.bottom - rect.top, 120);
}

TEST_F(HtmlViewTest, NavigatesTheControlAndFindsNoDocumentUnderWine)
{
    ASSERT_TRUE(create());
    view->Navigate2("https://localhost/framework-page");
    EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"https://localhost/framework-page");
    // Wine's control has no HTML engine here, so it never gets a document.
    EXPECT_FALSE(view->GetHtmlDocument());
}

TEST_F(HtmlViewTest, HostDefaultsLeaveTheHostInfoAndTheMenuToTheControl)
{
    ASSERT_TRUE(create());
    ComPtr<IDocHostUIHandler> handler = hostUiHandlerOf(view->m_pBrowserApp.Get());
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(handler->GetHostInfo(&info), E_NOTIMPL);
    EXPECT_EQ(info.dwFlags, 0u);
    POINT point{1, 1};
    EXPECT_EQ(handler->ShowContextMenu(0, &point, nullptr, nullptr), S_FALSE);
}

TEST_F(HtmlViewTest, NavigateErrorReachesTheViewAndItsCancelGoesBack)
{
    ASSERT_TRUE(create());
    ComPtr<IDispatch> sink;
    sink.Reset(view->GetEventSink());
    ASSERT_TRUE(sink);
    for (bool cancel : {false, true}) {
        view->errors.clear();
        view->cancelErrors = cancel;
        TextVariant url(L"https://localhost/missing");
        TextVariant frame(nullptr);
        VARIANT status = numberVariant(static_cast<LONG>(0x800C0008));
        VARIANT_BOOL cancelFlag = VARIANT_FALSE;
        EXPECT_EQ(S_OK, raiseEvent(sink.Get(), DISPID_NAVIGATEERROR,
                                   {dispatchArgument(nullptr), byRef(&url.value), byRef(&frame.value), byRef(&status),
                                    boolByRef(&cancelFlag)}));
        EXPECT_EQ(view->errors, std::vector<std::string>{"https://localhost/missing||2148270088"});
        EXPECT_EQ(cancelFlag, cancel ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

TEST_F(HtmlViewTest, EventsWithArgumentsOfAnotherShapeAreDropped)
{
    ASSERT_TRUE(create());
    ComPtr<IDispatch> sink;
    sink.Reset(view->GetEventSink());
    ASSERT_TRUE(sink);
    TextVariant url(L"https://localhost/short");
    VARIANT_BOOL cancelFlag = VARIANT_FALSE;
    EXPECT_EQ(S_OK, raiseEvent(sink.Get(), DISPID_NAVIGATEERROR, {byRef(&url.value), boolByRef(&cancelFlag)}));
    EXPECT_EQ(S_OK, raiseEvent(sink.Get(), DISPID_BEFORENAVIGATE2, {dispatchArgument(nullptr)}));
    EXPECT_EQ(S_OK,
              sink->Invoke(DISPID_NAVIGATEERROR, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(view->errors.empty());
}

TEST_F(HtmlViewTest, KeysAreNotTheControlsAcceleratorsUnderWine)
{
    ASSERT_TRUE(create());
    for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_MOUSEMOVE), UINT(WM_PAINT)}) {
        MSG msg{view->m_hWnd, message, VK_DOWN, 0};
        EXPECT_FALSE(view->PreTranslateMessage(&msg)) << message;
    }
}

TEST_F(HtmlViewTest, AnUnknownControlClassLeavesNoControl)
{
    view = std::make_unique<TestHtmlView>();
    // A class no server provides.
    view->browserClsid = {0x5e0b0a3c, 0x1f2d, 0x4e6b, {0x9a, 0x11, 0x21, 0x7c, 0x33, 0x44, 0x55, 0x66}};
    EXPECT_FALSE(view->Create(nullptr, "page", WS_CHILD, RECT{0, 0, 50, 50}, &parent, AFX_IDW_PANE_FIRST, nullptr));
    EXPECT_EQ(view->m_hWnd, nullptr);
    EXPECT_EQ(GetWindow(parent.m_hWnd, GW_CHILD), nullptr);
}

TEST_F(HtmlViewTest, DeletedViewLeavesNoControlAndItsSinkCallsNothing)
{
    ASSERT_TRUE(create());
    HWND viewWindow = view->m_hWnd;
    HWND control = controlWindowOf(viewWindow);
    ComPtr<IDispatch> sink;
    sink.Reset(view->GetEventSink());
    ASSERT_TRUE(sink);
    view.reset();
    EXPECT_FALSE(IsWindow(viewWindow));
    EXPECT_FALSE(IsWindow(control));
    TextVariant url(L"https://localhost/late");
    TextVariant frame(nullptr);
    VARIANT status = numberVariant(1);
    VARIANT_BOOL cancelFlag = VARIANT_FALSE;
    EXPECT_EQ(S_OK, raiseEvent(sink.Get(), DISPID_NAVIGATEERROR,
                               {dispatchArgument(nullptr), byRef(&url.value), byRef(&frame.value), byRef(&status),
                                boolByRef(&cancelFlag)}));
}

TEST_F(HtmlViewTest, WindowDestroyedFirstTearsTheControlDown)
{
    ASSERT_TRUE(create());
    HWND control = controlWindowOf(view->m_hWnd);
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(control));
    EXPECT_FALSE(view->m_pBrowserApp);
}

} // namespace
