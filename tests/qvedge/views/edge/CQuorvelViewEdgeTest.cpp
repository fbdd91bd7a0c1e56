#include "qvedge/views/CQuorvelView.h"

#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/views/edge/FakeWebView2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != 0;
}

class CQuorvelViewEdgeTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        views.destroyEdgeViews();
        DestroyWindow(host);
    }

    std::vector<WPARAM> initializeMessages()
    {
        std::vector<WPARAM> result;
        MSG msg;
        while (PeekMessageA(&msg, host, WM_InitializeWindow, WM_InitializeWindow, PM_REMOVE)) {
            EXPECT_EQ(0, msg.lParam);
            result.push_back(msg.wParam);
        }
        return result;
    }

    void startAll(size_t count)
    {
        views.viewRects.assign(count, RECT{0, 0, 10, 10});
        ASSERT_EQ(0, views.createViews(CWnd::FromHandle(host)));
        initializeMessages();
        for (unsigned i = 0; i < count; ++i)
            views.initializeEdgeViews(host, "https://example.org/", true, i);
        runtime.runPending();
    }

    FakeRuntime runtime;
    HWND host = nullptr;
    CQuorvelView views;
};

TEST_F(CQuorvelViewEdgeTest, EveryRectangleGetsARecordAndAMessageInOrder)
{
    LogCapture log;
    const std::vector<RECT> rects = {{0, 0, 10, 10}, {10, 0, 20, 10}, {20, 0, 30, 10}};
    views.viewRects = rects;
    EXPECT_EQ(0, views.createViews(CWnd::FromHandle(host)));
    ASSERT_EQ(3u, webViewWrappers.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(i, webViewWrappers[i]->viewIndex);
        EXPECT_TRUE(webViewWrappers[i]->bounds == rects[i]);
        EXPECT_TRUE(log.has("CQuorvelViewEdge.cpp\tcreateViews\tAdding WebView2Wrapper " + std::to_string(i)));
    }
    EXPECT_TRUE(log.has("CQuorvelViewEdge.cpp\tcreateViews\tcreateViews Edge mode"));
    EXPECT_EQ(std::vector<WPARAM>({0, 1, 2}), initializeMessages());
    // No view starts before its message is handled.
    EXPECT_EQ(0, runtime.entryCalls);
}

TEST_F(CQuorvelViewEdgeTest, NoRectangleNoRecord)
{
    EXPECT_EQ(0, views.createViews(CWnd::FromHandle(host)));
    EXPECT_TRUE(webViewWrappers.empty());
    EXPECT_TRUE(initializeMessages().empty());
}

TEST_F(CQuorvelViewEdgeTest, AnIndexOutsideTheListIsLoggedAndIgnored)
{
    views.viewRects.assign(1, RECT{0, 0, 10, 10});
    views.createViews(CWnd::FromHandle(host));
    LogCapture log;
    views.initializeEdgeViews(host, "https://example.org/", true, 1);
    EXPECT_TRUE(log.has("CQuorvelViewEdge.cpp\tinitializeEdgeViews\tWrong viewIndex 1"));
    EXPECT_EQ(0, runtime.entryCalls);
}

TEST_F(CQuorvelViewEdgeTest, InitializeStartsTheRecordOfTheIndex)
{
    views.viewRects.assign(2, RECT{0, 0, 10, 10});
    views.createViews(CWnd::FromHandle(host));
    views.initializeEdgeViews(host, "https://example.org/", true, 1);
    runtime.runPending();
    EXPECT_EQ(host, webViewWrappers[1]->hostWindow);
    EXPECT_TRUE(webViewWrappers[1]->controller);
    EXPECT_FALSE(webViewWrappers[0]->controller);
}

TEST_F(CQuorvelViewEdgeTest, NavigateMovesEveryViewOnlyOnceTheContentIsShown)
{
    startAll(2);
    runtime.restart();
    views.Navigate2("https://next.example/", false);
    EXPECT_TRUE(runtime.journal.empty());
    LogCapture log;
    views.Navigate2("https://next.example/", true);
    EXPECT_EQ(2u, runtime.count("Navigate https://next.example/"));
    EXPECT_TRUE(log.has("CQuorvelViewEdge.cpp\tNavigate2\tEdge Navigate2 -> https://next.example/"));
}

TEST_F(CQuorvelViewEdgeTest, DestroyClosesEveryControllerAndIsHarmlessTwice)
{
    startAll(2);
    // A third record that never started has no controller to close.
    views.viewRects.assign(1, RECT{0, 0, 10, 10});
    views.createViews(CWnd::FromHandle(host));
    ASSERT_EQ(3u, webViewWrappers.size());
    views.destroyEdgeViews();
    EXPECT_EQ(2u, runtime.count("Close"));
    EXPECT_TRUE(webViewWrappers.empty());
    views.destroyEdgeViews();
    EXPECT_EQ(2u, runtime.count("Close"));
}

TEST_F(CQuorvelViewEdgeTest, AClosedControllerGetsNoMoreCompletions)
{
    views.viewRects.assign(1, RECT{0, 0, 10, 10});
    views.createViews(CWnd::FromHandle(host));
    runtime.knobs.completeNavigations = true;
    views.initializeEdgeViews(host, "https://example.org/", true, 0);
    // Run the chain up to the navigation, whose completion is still pending.
    while (!runtime.count("Navigate https://example.org/") && runtime.runOne()) {
    }
    ASSERT_TRUE(runtime.hasPending());
    views.destroyEdgeViews();
    runtime.runPending();
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, host, WM_WebPageLoaded, WM_WebPageLoaded, PM_REMOVE));
}

} // namespace
