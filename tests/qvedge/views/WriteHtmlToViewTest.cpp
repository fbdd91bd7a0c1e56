// Writing page text into a real view; Wine's control has no HTML engine here, so the
// text never finds a document to go into.
#include "qvedge/views/WriteHtmlToView.h"

#include "framework/CView.h"
#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/framework/support/BrowserProbe.h"
#include "tests/qvedge/support/OleThread.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class WriteHtmlToViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ole.result);
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "dialog", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CQuorvelVw);
        view.reset(static_cast<CQuorvelVw*>(CreateView(&parent, &context)));
        ASSERT_TRUE(view);
        view->Navigate2("https://localhost/before");
    }
    void TearDown() override
    {
        view.reset();
        parent.DestroyWindow();
    }

    OleThread ole;
    CWnd parent;
    std::unique_ptr<CQuorvelVw> view;
};

TEST_F(WriteHtmlToViewTest, EmptyTextFailsAndLeavesTheViewWhereItWas)
{
    EXPECT_EQ(E_FAIL, writeHtmlToView("", view.get()));
    // Whatever the control still had to do for its earlier navigation is done by now.
    pumpUntil([&] { return shown(view->m_hWnd); });
    EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"https://localhost/before");
}

TEST_F(WriteHtmlToViewTest, TextWithoutADocumentTriesAnEmptyPageFirst)
{
    EXPECT_EQ(E_NOINTERFACE, writeHtmlToView("<html><body>report</body></html>", view.get()));
    pumpUntil([&] { return locationOf(view->m_pBrowserApp.Get()) == L"about:"; });
    EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"about:");
    // The container's trim count is the view's own Navigate2's; this navigation is not one.
    EXPECT_EQ(view->navigateCount, 1);
}

} // namespace
