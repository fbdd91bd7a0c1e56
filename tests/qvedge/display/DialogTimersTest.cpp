// The dialog's three timers, started the way their starters do.
#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An Internet Explorer view that records where it was sent.
class RecordingVw : public CQuorvelVw {
public:
    explicit RecordingVw(std::vector<std::string>& visits) : visits(visits) {}
    void Navigate2(const CString& address) override { visits.push_back(address.str()); }
    std::vector<std::string>& visits;
};

class DialogTimersTest : public ::testing::Test {
protected:
    void SetUp() override { start({}); }

    // A fresh show over the address list, with two recording Internet Explorer views.
    void start(const std::vector<CString>& addresses)
    {
        visits.clear();
        dialog.reset();
        theApp.config.urlList = addresses;
        theApp.config.currentUrl = -1;
        dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, true});
        dialog->testHold = TRUE;
        for (int i = 0; i < 2; ++i) {
            auto* view = new RecordingVw(visits);
            RECT rect{0, 0, 100, 100};
            ASSERT_TRUE(view->CreateEx(0, AfxRegisterWndClass(0), "view", WS_CHILD, rect, dialog.get(), 0xE900));
            dialog->views.ieViews.push_back(view);
        }
    }

    void tick(UINT_PTR id) { SendMessageA(dialog->m_hWnd, WM_TIMER, id, 0); }
    bool running(UINT_PTR id) { return KillTimer(dialog->m_hWnd, id) != 0; }
    bool viewsShown() const
    {
        for (CQuorvelVw* view : dialog->views.ieViews)
            if (!IsWindowVisible(view->m_hWnd))
                return false;
        return true;
    }

    std::vector<std::string> visits;
    std::unique_ptr<CQuorvelDlg> dialog;
};

TEST_F(DialogTimersTest, DocumentCompleteTimerWaitsForTheFirstDocument)
{
    dialog->timerDocComplete = SetTimer(dialog->m_hWnd, DOCUMENTCOMPLETE_TIMER, DOCUMENTCOMPLETE_PERIOD_MS, nullptr);
    ASSERT_EQ(dialog->timerDocComplete, DOCUMENTCOMPLETE_TIMER);
    tick(DOCUMENTCOMPLETE_TIMER);
    EXPECT_FALSE(viewsShown());
    EXPECT_FALSE(dialog->contentShown);

    dialog->documentCompleted = true;
    tick(DOCUMENTCOMPLETE_TIMER);
    EXPECT_TRUE(dialog->contentShown);
    EXPECT_TRUE(viewsShown());
    EXPECT_FALSE(running(DOCUMENTCOMPLETE_TIMER));
}

TEST_F(DialogTimersTest, DocumentCompleteTimerOfALocalPageOnlyStops)
{
    theApp.config.mode = presentation_mode;
    dialog->timerDocComplete = SetTimer(dialog->m_hWnd, DOCUMENTCOMPLETE_TIMER, DOCUMENTCOMPLETE_PERIOD_MS, nullptr);
    dialog->documentCompleted = true;
    tick(DOCUMENTCOMPLETE_TIMER);
    EXPECT_FALSE(dialog->contentShown);
    EXPECT_FALSE(viewsShown());
    EXPECT_FALSE(running(DOCUMENTCOMPLETE_TIMER));
}

TEST_F(DialogTimersTest, UrlChangeTimerWithoutAddressNavigatesNowhereAndKeepsRunning)
{
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 10, nullptr);
    tick(URL_CHANGE_TIMER);
    tick(URL_CHANGE_TIMER);
    EXPECT_TRUE(visits.empty());
    EXPECT_TRUE(running(URL_CHANGE_TIMER));
}

TEST_F(DialogTimersTest, InitialisationTakesTheFirstAddress)
{
    start({"https://localhost/a", "https://localhost/b"});
    EXPECT_EQ(theApp.config.currentUrl, 0);
    EXPECT_TRUE(visits.empty());
}

TEST_F(DialogTimersTest, EachUrlChangeTickMovesEveryViewToTheNextAddress)
{
    start({"https://localhost/a", "https://localhost/b"});
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(visits, (std::vector<std::string>{"https://localhost/b", "https://localhost/b"}));
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(visits.back(), "https://localhost/a");
    EXPECT_EQ(visits.size(), 4u);
    EXPECT_TRUE(running(URL_CHANGE_TIMER));
}

TEST_F(DialogTimersTest, OneAddressIsVisitedAgainAtEveryTick)
{
    start({"localhost/only"});
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    tick(URL_CHANGE_TIMER);
    // After the first wrap the address is handed on as stored.
    EXPECT_EQ(visits, (std::vector<std::string>(4, "localhost/only")));
}

TEST_F(DialogTimersTest, LocalPagesAdvanceButNeverNavigate)
{
    start({"https://localhost/a", "https://localhost/b"});
    theApp.config.mode = media_files_mode;
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(theApp.config.currentUrl, 1);
    EXPECT_TRUE(visits.empty());
}

TEST_F(DialogTimersTest, ContainerSendsEveryInternetExplorerViewToTheAddress)
{
    dialog->views.Navigate2("https://localhost/next", false);
    EXPECT_EQ(visits, (std::vector<std::string>{"https://localhost/next", "https://localhost/next"}));
    dialog->views.edgeMode = true;
    dialog->views.Navigate2("https://localhost/other", true);
    EXPECT_EQ(visits.size(), 2u);
}

TEST_F(DialogTimersTest, UnknownIdsAreIgnored)
{
    dialog->timerTestTimeOut = 0;
    for (UINT_PTR id : {UINT_PTR(0), UINT_PTR(3), UINT_PTR(99)})
        tick(id);
    EXPECT_TRUE(dialog->testHold);
    EXPECT_FALSE(dialog->contentShown);
}

TEST(TestTimeOutTimerTest, EndsTheHoldOnceAndStops)
{
    auto dialog = createShowDialog(ShowOptions{TRUE});
    ASSERT_EQ(dialog->timerTestTimeOut, TESTTIMEOUT_TIMER);
    SendMessageA(dialog->m_hWnd, WM_TIMER, TESTTIMEOUT_TIMER, 0);
    EXPECT_FALSE(dialog->testHold);
    EXPECT_FALSE(KillTimer(dialog->m_hWnd, TESTTIMEOUT_TIMER));
}

TEST(TestTimeOutTimerTest, ErrorRunNeverStartsIt)
{
    auto dialog = createShowDialog(ShowOptions{TRUE, false, 2, 0, false, FALSE});
    EXPECT_EQ(dialog->timerTestTimeOut, 0u);
    EXPECT_TRUE(dialog->testHold);
}

} // namespace
