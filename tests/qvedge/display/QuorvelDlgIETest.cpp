// The Internet Explorer road of the dialog: the after-init step and the completed documents.
#include "qvedge/display/QuorvelDlg.h"

#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/OleThread.h"
#include "tests/qvedge/support/ShowDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string afterInitRecord = "QuorvelDlgIE.cpp\tOnAfterInit\t";
const std::string documentRecord = "QuorvelDlgIE.cpp\tOnDocumentComplete\t";

class QuorvelDlgIETest : public testing::Test {
protected:
    void SetUp() override
    {
        CQuorvelConf& config = theApp.config;
        config.urlList = {"https://example.org/"};
        config.currentUrl = -1;
        config.mode = url_list_mode;
        config.testMode = false;
        config.timeOut = 3000;
        config.showFooter = 0;
    }

    void show(bool engine = false)
    {
        dialog = createShowDialog(ShowOptions{FALSE, engine, MONITOR_MAIN_ONLY, 0, true});
        dialog->testHold = TRUE;
        // The test sends the road's messages itself.
        takePosted(dialog->m_hWnd, WM_AFTERINIT);
    }
    LRESULT send(UINT message) { return SendMessageA(dialog->m_hWnd, message, 0, 0); }
    bool running(UINT_PTR id) { return KillTimer(dialog->m_hWnd, id) != 0; }

    OleThread ole;
    std::unique_ptr<CQuorvelDlg> dialog;
};

TEST_F(QuorvelDlgIETest, AfterInitClearsTheErrorAndStartsTheDocumentTimerOnce)
{
    show();
    dialog->errorFlag = TRUE;
    LogCapture log;
    EXPECT_EQ(0, send(WM_AFTERINIT));
    EXPECT_FALSE(dialog->errorFlag);
    EXPECT_TRUE(dialog->docCompleteTimerStarted);
    EXPECT_EQ(DOCUMENTCOMPLETE_TIMER, dialog->timerDocComplete);
    EXPECT_TRUE(log.has(afterInitRecord + "onAfterInit - Before Navigate to: https://example.org/"));
    EXPECT_TRUE(running(DOCUMENTCOMPLETE_TIMER));
    send(WM_AFTERINIT);
    EXPECT_FALSE(running(DOCUMENTCOMPLETE_TIMER));
}

struct NoDocumentTimer {
    const char* name;
    int mode;
    bool engine;
};

class NoDocumentTimerTest : public QuorvelDlgIETest, public testing::WithParamInterface<NoDocumentTimer> {};

TEST_P(NoDocumentTimerTest, AfterInitLeavesTheDocumentTimerOff)
{
    theApp.config.mode = GetParam().mode;
    show(GetParam().engine);
    send(WM_AFTERINIT);
    EXPECT_FALSE(dialog->docCompleteTimerStarted);
    EXPECT_FALSE(running(DOCUMENTCOMPLETE_TIMER));
}

INSTANTIATE_TEST_SUITE_P(Shows, NoDocumentTimerTest,
                         testing::Values(NoDocumentTimer{"Presentation", presentation_mode, false},
                                         NoDocumentTimer{"MediaFiles", media_files_mode, false},
                                         NoDocumentTimer{"EngineReport", url_list_mode, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RotationStart {
    const char* name;
    int mode;
    int timeOut;
    bool rotates;
};

class RotationStartTest : public QuorvelDlgIETest, public testing::WithParamInterface<RotationStart> {};

TEST_P(RotationStartTest, FirstDocumentArmsTheRotationOfAnAddressListOnly)
{
    theApp.config.mode = GetParam().mode;
    theApp.config.timeOut = GetParam().timeOut;
    show();
    LogCapture log;
    send(WM_HTMLDOCCMPL);
    EXPECT_TRUE(dialog->documentCompleted);
    EXPECT_TRUE(log.has(documentRecord + "CQuorvelDlg::OnDocumentComplete - first time"));
    EXPECT_EQ(GetParam().rotates, running(URL_CHANGE_TIMER));
}

INSTANTIATE_TEST_SUITE_P(Shows, RotationStartTest,
                         testing::Values(RotationStart{"AddressList", url_list_mode, 3000, true},
                                         RotationStart{"NoInterval", url_list_mode, 0, false},
                                         RotationStart{"Presentation", presentation_mode, 3000, false},
                                         RotationStart{"MediaFiles", media_files_mode, 3000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuorvelDlgIETest, FirstDocumentStopsTheAnimationAndLaterOnesOnlyLog)
{
    show();
    HWND animation = dialog->LoadingAnimation.m_hWnd;
    ASSERT_TRUE(IsWindowVisible(animation));
    send(WM_HTMLDOCCMPL);
    EXPECT_FALSE(IsWindowVisible(animation));
    EXPECT_TRUE(dialog->contentShown);
    ASSERT_TRUE(running(URL_CHANGE_TIMER));

    LogCapture log;
    dialog->errorFlag = TRUE;
    send(WM_HTMLDOCCMPL);
    EXPECT_TRUE(log.has(documentRecord + "CQuorvelDlg::OnDocumentComplete - error 1"));
    EXPECT_FALSE(log.has(documentRecord + "LoadingAnimation stopped"));
    // The rotation is armed by the first document only.
    EXPECT_FALSE(running(URL_CHANGE_TIMER));
}

TEST_F(QuorvelDlgIETest, DocumentAfterAnErrorStopsTheAnimationButShowsNothing)
{
    show();
    dialog->errorFlag = TRUE;
    LogCapture log;
    send(WM_HTMLDOCCMPL);
    EXPECT_TRUE(log.has(documentRecord + "LoadingAnimation stopped"));
    EXPECT_FALSE(IsWindowVisible(dialog->LoadingAnimation.m_hWnd));
    EXPECT_FALSE(dialog->contentShown);
}

TEST_F(QuorvelDlgIETest, AfterInitWithoutAnAddressLeavesTheDocumentTimerOff)
{
    theApp.config.urlList.clear();
    show();
    ASSERT_EQ(1u, dialog->views.ieViews.size());
    send(WM_AFTERINIT);
    EXPECT_FALSE(dialog->docCompleteTimerStarted);
    EXPECT_FALSE(running(DOCUMENTCOMPLETE_TIMER));
}

TEST_F(QuorvelDlgIETest, FirstDocumentShowsTheViewsInTheRegionOfTheShow)
{
    show();
    ASSERT_EQ(1u, dialog->views.ieViews.size());
    HWND view = dialog->views.ieViews[0]->m_hWnd;
    ShowWindow(dialog->m_hWnd, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(view));
    send(WM_HTMLDOCCMPL);
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
    EXPECT_TRUE(IsWindowVisible(view));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(SIMPLEREGION, GetWindowRgn(dialog->m_hWnd, region));
    RECT box;
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_TRUE(EqualRect(&box, &dialog->screensaverRect));
}

} // namespace
