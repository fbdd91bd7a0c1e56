// The dialog's three timers, started the way their starters do.
#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/OleThread.h"
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DialogTimersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ole.result);
        start({});
    }
    void TearDown() override { dialog.reset(); }

    // A fresh show over the address list, with two real Internet Explorer views.
    void start(const std::vector<CString>& addresses)
    {
        dialog.reset();
        theApp.config.urlList = addresses;
        theApp.config.currentUrl = -1;
        dialog = createShowDialog(ShowOptions{FALSE, false, 2, 0, true});
        dialog->testHold = TRUE;
        for (CQuorvelVw* view : dialog->views.ieViews)
            delete view;
        dialog->views.ieViews.clear();
        dialog->views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}};
        ASSERT_EQ(0, dialog->views.createViews(dialog.get()));
        ASSERT_EQ(2u, dialog->views.ieViews.size());
        recordsBefore = log.records().size();
    }

    // The addresses the views were sent to since start, in the order of the calls.
    std::vector<std::string> visits() const
    {
        const std::string call = "QuorvelVw.cpp\tNavigate2\tView #";
        const std::string to = " navigate to ";
        std::vector<std::string> addresses;
        const std::vector<std::string> records = log.records();
        for (size_t i = recordsBefore; i < records.size(); ++i) {
            const std::string& record = records[i];
            const auto at = record.find(to);
            if (record.compare(0, call.size(), call) == 0 && at != std::string::npos)
                addresses.push_back(record.substr(at + to.size()));
        }
        return addresses;
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

    OleThread ole;
    LogCapture log;
    size_t recordsBefore = 0;
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
    EXPECT_TRUE(visits().empty());
    EXPECT_TRUE(running(URL_CHANGE_TIMER));
}

TEST_F(DialogTimersTest, InitialisationTakesTheFirstAddress)
{
    start({"https://localhost/a", "https://localhost/b"});
    EXPECT_EQ(theApp.config.currentUrl, 0);
    EXPECT_TRUE(visits().empty());
}

TEST_F(DialogTimersTest, EachUrlChangeTickMovesEveryViewToTheNextAddress)
{
    start({"https://localhost/a", "https://localhost/b"});
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(visits(), (std::vector<std::string>{"https://localhost/b", "https://localhost/b"}));
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(visits().back(), "https://localhost/a");
    EXPECT_EQ(visits().size(), 4u);
    EXPECT_TRUE(running(URL_CHANGE_TIMER));
}

TEST_F(DialogTimersTest, OneAddressIsVisitedAgainAtEveryTick)
{
    start({"localhost/only"});
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    tick(URL_CHANGE_TIMER);
    // After the first wrap the address is handed on as stored.
    EXPECT_EQ(visits(), (std::vector<std::string>(4, "localhost/only")));
}

TEST_F(DialogTimersTest, LocalPagesAdvanceButNeverNavigate)
{
    start({"https://localhost/a", "https://localhost/b"});
    theApp.config.mode = media_files_mode;
    dialog->timerUrlChange = SetTimer(dialog->m_hWnd, URL_CHANGE_TIMER, 60000, nullptr);
    tick(URL_CHANGE_TIMER);
    EXPECT_EQ(theApp.config.currentUrl, 1);
    EXPECT_TRUE(visits().empty());
}

TEST_F(DialogTimersTest, ContainerSendsEveryInternetExplorerViewToTheAddress)
{
    dialog->views.Navigate2("https://localhost/next", false);
    EXPECT_EQ(visits(), (std::vector<std::string>{"https://localhost/next", "https://localhost/next"}));
    // The controls themselves were sent there.
    for (CQuorvelVw* view : dialog->views.ieViews) {
        BSTR location = nullptr;
        ASSERT_EQ(S_OK, view->m_pBrowserApp->get_LocationURL(&location));
        EXPECT_STREQ(location, L"https://localhost/next");
        SysFreeString(location);
    }
    dialog->views.edgeMode = true;
    dialog->views.Navigate2("https://localhost/other", true);
    EXPECT_EQ(visits().size(), 2u);
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
