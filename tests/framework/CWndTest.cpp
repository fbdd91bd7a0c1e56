#include "framework/CWinApp.h"
#include "framework/CWnd.h"

#include <gtest/gtest.h>

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

} // namespace
