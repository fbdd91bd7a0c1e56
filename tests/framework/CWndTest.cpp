#include "framework/CException.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> messages;
    bool postNcDestroyCalled = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        switch (message) {
        case WM_APP + 7:
            return 42;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    void PostNcDestroy() override { postNcDestroyCalled = true; }
};

bool hasMessage(const std::vector<UINT>& messages, UINT message)
{
    for (UINT m : messages)
        if (m == message)
            return true;
    return false;
}

bool quitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

CString windowClass()
{
    return AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST(CWndTest, CreateExBindsTheObjectFromTheFirstMessage)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, windowClass(), "w", WS_POPUP, RECT{10, 20, 110, 70}, nullptr, 0));
    ASSERT_NE(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(hasMessage(wnd.messages, WM_NCCREATE));
    EXPECT_TRUE(hasMessage(wnd.messages, WM_CREATE));
    EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_APP + 7, 0, 0), 42);

    RECT client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 50);
}

TEST(CWndTest, ChildWindowInsideParent)
{
    RecordingWnd parent, child;
    ASSERT_TRUE(parent.CreateEx(0, windowClass(), "p", WS_POPUP, RECT{0, 0, 152, 112}, nullptr, 0));
    ASSERT_TRUE(child.CreateEx(0, windowClass(), "c", WS_CHILD | WS_VISIBLE, RECT{0, 0, 152, 112}, &parent, 0));
    EXPECT_EQ(GetParent(child.m_hWnd), parent.m_hWnd);
}

TEST(CWndTest, DestroyingTheMainWindowClearsItAndPostsQuit)
{
    CWinApp app;
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, windowClass(), "w", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    app.m_pMainWnd = &wnd;
    HWND hwnd = wnd.m_hWnd;

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(wnd.postNcDestroyCalled);
    EXPECT_TRUE(quitPosted());
}

TEST(CWndTest, DestroyingAnotherWindowPostsNoQuit)
{
    CWinApp app;
    RecordingWnd main, other;
    ASSERT_TRUE(main.CreateEx(0, windowClass(), "m", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    ASSERT_TRUE(other.CreateEx(0, windowClass(), "o", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    app.m_pMainWnd = &main;
    other.DestroyWindow();
    EXPECT_EQ(app.m_pMainWnd, &main);
    EXPECT_FALSE(quitPosted());
}

TEST(CWndTest, DeletingTheObjectDestroysItsWindow)
{
    HWND hwnd;
    {
        RecordingWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, windowClass(), "w", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(CWndTest, FromHandleWrapsAForeignWindowWithoutOwningIt)
{
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);
    RECT client;
    wrapper->GetClientRect(&client);
    EXPECT_EQ(client.right, 30);
    EXPECT_EQ(client.bottom, 20);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_TRUE(IsWindow(foreign));
    DestroyWindow(foreign);
}

TEST(CWndTest, CreateExFailsWithoutAParentForAChild)
{
    RecordingWnd child;
    EXPECT_FALSE(child.CreateEx(0, windowClass(), "c", WS_CHILD, RECT{0, 0, 10, 10}, CWnd::FromHandle(reinterpret_cast<HWND>(0x1234)), 0));
    EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST(CWndTest, RegisteringTheSameClassTwiceGivesOneName)
{
    const CString first = windowClass();
    EXPECT_FALSE(first.IsEmpty());
    EXPECT_EQ(windowClass(), first);
    EXPECT_NE(AfxRegisterWndClass(CS_HREDRAW), first);
}

// A window whose WM_GETTEXTLENGTH handler fails; the system's answer is the title's length.
class FailingWnd : public CWnd {
public:
    std::function<void()> fail;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GETTEXTLENGTH)
            fail();
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct FailureReports {
    FailureReports() { windowProcFailureReport = record; }
    ~FailureReports() { windowProcFailureReport = saved; }
    static void record(UINT message, const char* description)
    {
        messages.push_back(message);
        descriptions.push_back(description);
    }
    static std::vector<UINT> messages;
    static std::vector<std::string> descriptions;
    WindowProcFailureReport saved = windowProcFailureReport;
};
std::vector<UINT> FailureReports::messages;
std::vector<std::string> FailureReports::descriptions;

TEST(CWndTest, AHandlersExceptionIsReportedAndTheMessageGetsItsDefaultAnswer)
{
    struct Case {
        std::function<void()> fail;
        std::string description;
    };
    const Case cases[] = {
        {[] { throw std::runtime_error("handler broke"); }, "handler broke"},
        {[] { throw CMemoryException(); }, "Out of memory."},
        {[] { throw 7; }, "unknown exception"},
    };
    for (const Case& c : cases) {
        FailureReports reports;
        FailureReports::messages.clear();
        FailureReports::descriptions.clear();
        FailingWnd wnd;
        wnd.fail = c.fail;
        ASSERT_TRUE(wnd.CreateEx(0, windowClass(), "title", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 5) << c.description;
        EXPECT_EQ(FailureReports::messages, std::vector<UINT>{WM_GETTEXTLENGTH});
        EXPECT_EQ(FailureReports::descriptions, std::vector<std::string>{c.description});
        // The window carries on.
        EXPECT_TRUE(IsWindow(wnd.m_hWnd));
    }
}

class ClassChoosingWnd : public CWnd {
public:
    CString chosenClass;
    BOOL allow = TRUE;
    void* createParam = nullptr;
    DWORD createStyle = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override
    {
        if (!cs.lpszClass)
            cs.lpszClass = chosenClass;
        return allow;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE) {
            const auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
            createParam = cs->lpCreateParams;
            createStyle = static_cast<DWORD>(cs->style);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(CWndTest, CreateMakesAChildThatPreCreateWindowMayShapeOrStop)
{
    RecordingWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, windowClass(), "parent", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    ClassChoosingWnd child;
    child.chosenClass = AfxRegisterWndClass(CS_DBLCLKS);
    CCreateContext context;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, RECT{1, 2, 11, 12}, &parent, 77, &context));
    char className[64] = {};
    GetClassNameA(child.m_hWnd, className, sizeof className);
    EXPECT_EQ(CString(className), child.chosenClass);
    EXPECT_EQ(child.createParam, &context);
    EXPECT_EQ(child.createStyle & WS_CHILD, static_cast<DWORD>(WS_CHILD));
    EXPECT_EQ(GetDlgCtrlID(child.m_hWnd), 77);
    EXPECT_EQ(GetParent(child.m_hWnd), parent.m_hWnd);

    ClassChoosingWnd refused;
    refused.chosenClass = child.chosenClass;
    refused.allow = FALSE;
    EXPECT_FALSE(refused.Create(nullptr, "refused", 0, RECT{}, &parent, 78));
    EXPECT_EQ(refused.m_hWnd, nullptr);
    EXPECT_EQ(GetDlgItem(parent.m_hWnd, 78), nullptr);
}

} // namespace
