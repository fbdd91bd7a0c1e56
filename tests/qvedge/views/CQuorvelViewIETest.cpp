// The views container's Internet Explorer half, with Wine's real WebBrowser controls.
#include "qvedge/views/CQuorvelView.h"

#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/ie/QuorvelDoc.h"
#include "qvedge/views/ie/QuorvelVw.h"
#include "tests/framework/support/BrowserFactoryStandIn.h"
#include "tests/framework/support/BrowserProbe.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/OleThread.h"
#include "tests/qvedge/support/ViewWindowRefusal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string createRecord = "CQuorvelViewIE.cpp\tcreateViews\t";

class CQuorvelViewIETest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, ole.result);
        theApp.internetConnected = TRUE;
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "dialog", WS_POPUP, RECT{0, 0, 800, 600}, nullptr, 0));
        views.edgeMode = false;
    }
    void TearDown() override
    {
        for (CQuorvelVw* view : views.ieViews)
            delete view;
        views.ieViews.clear();
        parent.DestroyWindow();
    }

    int childWindows() const
    {
        int count = 0;
        for (HWND child = GetWindow(parent.m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++count;
        return count;
    }

    OleThread ole;
    LogCapture log;
    CWnd parent;
    CQuorvelView views;
};

TEST_F(CQuorvelViewIETest, MakesOneHiddenViewPerRectangleOverOneDocument)
{
    views.viewRects = {RECT{0, 0, 100, 50}, RECT{100, 10, 400, 250}};
    ASSERT_EQ(0, views.createViews(&parent));
    ASSERT_EQ(2u, views.ieViews.size());
    EXPECT_TRUE(log.has(createRecord + "createViews Internet Explorer mode"));
    EXPECT_TRUE(log.has(createRecord + "CQuorvelVw 1 x=0 y=0 w=100 h=50"));
    EXPECT_TRUE(log.has(createRecord + "CQuorvelVw 2 x=100 y=10 w=300 h=240"));
    CDocument* document = views.ieViews[0]->GetDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_NE(dynamic_cast<CQuorvelDoc*>(document), nullptr);
    EXPECT_TRUE(document->m_bAutoDelete);
    EXPECT_EQ(document->GetViews(), (std::vector<CView*>{views.ieViews[0], views.ieViews[1]}));
    for (size_t i = 0; i < views.ieViews.size(); ++i) {
        CQuorvelVw* view = views.ieViews[i];
        EXPECT_EQ(view->viewNumber, static_cast<int>(i));
        EXPECT_TRUE(log.has("QuorvelVw.cpp\tOnInitialUpdate\tView #" + std::to_string(i) +
                            " CQuorvelVw::OnInitialUpdate()"));
        EXPECT_FALSE(shown(view->m_hWnd));
        RECT rect;
        GetWindowRect(view->m_hWnd, &rect);
        MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, views.viewRects[i].left);
        EXPECT_EQ(rect.top, views.viewRects[i].top);
        EXPECT_EQ(rect.right, views.viewRects[i].right);
        EXPECT_EQ(rect.bottom, views.viewRects[i].bottom);
        RECT control;
        GetWindowRect(controlWindowOf(view->m_hWnd), &control);
        EXPECT_EQ(control.right - control.left, views.viewRects[i].right - views.viewRects[i].left);
        EXPECT_EQ(control.bottom - control.top, views.viewRects[i].bottom - views.viewRects[i].top);
    }
}

TEST_F(CQuorvelViewIETest, ControlsAreSilentAndOfflineWithoutAConnection)
{
    for (BOOL connected : {TRUE, FALSE}) {
        theApp.internetConnected = connected;
        views.viewRects = {RECT{0, 0, 100, 100}};
        ASSERT_EQ(0, views.createViews(&parent));
        IWebBrowser2* browser = views.ieViews.back()->m_pBrowserApp.Get();
        VARIANT_BOOL silent = VARIANT_FALSE;
        VARIANT_BOOL offline = VARIANT_TRUE;
        ASSERT_EQ(S_OK, browser->get_Silent(&silent));
        ASSERT_EQ(S_OK, browser->get_Offline(&offline));
        EXPECT_EQ(silent, VARIANT_TRUE) << connected;
        EXPECT_EQ(offline, connected ? VARIANT_FALSE : VARIANT_TRUE) << connected;
    }
}

TEST_F(CQuorvelViewIETest, NoRectangleMakesNoView)
{
    ASSERT_EQ(0, views.createViews(&parent));
    EXPECT_TRUE(views.ieViews.empty());
    EXPECT_EQ(childWindows(), 0);
    EXPECT_TRUE(log.has(createRecord + "createViews Internet Explorer mode"));
}

TEST_F(CQuorvelViewIETest, AViewThatCannotBeMadeEndsTheCallWithFiveAndKeepsTheViewsBefore)
{
    struct Case {
        int refused;
        size_t kept;
        const char* record;
    };
    const Case cases[] = {{2, 1, "Created CQuorvelVw 1 error "}, {1, 0, "Created CQuorvelVw 0 error "}};
    for (const Case& c : cases) {
        ViewWindowRefusal refusal(c.refused);
        ASSERT_TRUE(refusal.installed());
        views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}, RECT{200, 0, 300, 100}};
        EXPECT_EQ(5, views.createViews(&parent)) << c.refused;
        EXPECT_EQ(views.ieViews.size(), c.kept) << c.refused;
        EXPECT_EQ(childWindows(), static_cast<int>(c.kept)) << c.refused;
        EXPECT_TRUE(log.has(createRecord + c.record)) << c.refused;
        for (CQuorvelVw* view : views.ieViews) {
            EXPECT_TRUE(view->GetDocument()->m_bAutoDelete);
            delete view;
        }
        views.ieViews.clear();
    }
}

// Makes the real control a given number of times, then refuses.
class RationedBrowserFactory : public BrowserFactoryStandIn {
public:
    explicit RationedBrowserFactory(int allowed) : allowed(allowed) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (allowed-- <= 0) {
            *out = nullptr;
            return CLASS_E_CLASSNOTAVAILABLE;
        }
        return real->CreateInstance(outer, iid, out);
    }

private:
    int allowed;
};

TEST_F(CQuorvelViewIETest, AControlThatCannotBeMadeEndsTheCallWithFiveAndLeavesNoWindowOfItsView)
{
    RationedBrowserFactory factory(1);
    ASSERT_TRUE(factory.registered());
    views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}, RECT{200, 0, 300, 100}};
    EXPECT_EQ(5, views.createViews(&parent));
    ASSERT_EQ(views.ieViews.size(), 1u);
    EXPECT_EQ(childWindows(), 1);
    EXPECT_TRUE(log.has(createRecord + "Created CQuorvelVw 1 error "));
    EXPECT_TRUE(views.ieViews[0]->m_pBrowserApp);
}

TEST_F(CQuorvelViewIETest, TheSharedDocumentLetsItsViewsGoOneByOne)
{
    views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}};
    ASSERT_EQ(0, views.createViews(&parent));
    CDocument* document = views.ieViews[1]->GetDocument();
    delete views.ieViews[0];
    views.ieViews.erase(views.ieViews.begin());
    EXPECT_EQ(document->GetViews(), std::vector<CView*>{views.ieViews[0]});
    EXPECT_EQ(views.ieViews[0]->GetDocument(), document);
}

TEST_F(CQuorvelViewIETest, NavigateSendsEveryViewAndLogsEachCall)
{
    views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}};
    ASSERT_EQ(0, views.createViews(&parent));
    views.Navigate2("https://localhost/rotated", false);
    size_t calls = 0;
    for (const std::string& record : log.records())
        calls += record == "CQuorvelViewIE.cpp\tNavigate2\tIE Navigate2 -> https://localhost/rotated";
    EXPECT_EQ(calls, 2u);
    for (CQuorvelVw* view : views.ieViews)
        EXPECT_EQ(locationOf(view->m_pBrowserApp.Get()), L"https://localhost/rotated");
}

const std::string populateRecord = "CQuorvelViewIE.cpp\tpopulateIEViews\t";

// The addresses the views were sent to, in view order, read from their own log records.
std::vector<std::string> navigations(const LogCapture& log)
{
    std::vector<std::string> addresses;
    const std::string marker = " navigate to ";
    for (const std::string& record : log.records()) {
        const auto at = record.find(marker);
        if (record.rfind("QuorvelVw.cpp\tNavigate2\tView #", 0) == 0 && at != std::string::npos)
            addresses.push_back(record.substr(at + marker.size()));
    }
    return addresses;
}

struct PopulateCase {
    const char* name;
    int mode;
    bool testMode;
    std::vector<CString> addresses;
    BOOL connected;
    int result;
    std::vector<std::string> navigated;
    const char* record;
};

class PopulateIEViewsTest : public CQuorvelViewIETest, public testing::WithParamInterface<PopulateCase> {};

TEST_P(PopulateIEViewsTest, SendsEveryViewToThePageOfTheShow)
{
    const PopulateCase& c = GetParam();
    CQuorvelConf& config = theApp.config;
    config.mode = c.mode;
    config.testMode = c.testMode;
    config.dataFolder = "C:\\data\\show";
    config.selectedFolder = "D:\\chosen";
    config.urlList = c.addresses;
    config.currentUrl = c.addresses.empty() ? -1 : 0;
    views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}};
    ASSERT_EQ(0, views.createViews(&parent));
    theApp.internetConnected = c.connected;
    EXPECT_EQ(c.result, views.populateIEViews(false));
    EXPECT_EQ(c.navigated, navigations(log));
    if (c.record) {
        EXPECT_TRUE(log.has(populateRecord + c.record));
    }
}

const std::string PRESENTATION_PAGE = "file:///C:\\data\\show\\index.html";

INSTANTIATE_TEST_SUITE_P(
    Shows, PopulateIEViewsTest,
    testing::Values(
        PopulateCase{"Address", url_list_mode, false, {"https://localhost/first", "https://localhost/second"}, TRUE,
                     0, {"https://localhost/first", "https://localhost/first"}, "doCreateHtmlView - After Navigate2"},
        PopulateCase{"NoAddressConnected", url_list_mode, false, {}, TRUE, 4, {}, "onAfterInit - BAD_URLS"},
        PopulateCase{"NoAddressOffline", url_list_mode, false, {}, FALSE, 6, {}, "onAfterInit - NOT_CONN"},
        PopulateCase{"Presentation", presentation_mode, false, {}, TRUE, 0, {PRESENTATION_PAGE, PRESENTATION_PAGE},
                     nullptr},
        PopulateCase{"PresentationTestRun", presentation_mode, true, {}, TRUE, 0,
                     {"file:///D:\\chosen\\index.html", "file:///D:\\chosen\\index.html"}, nullptr},
        PopulateCase{"MediaFiles", media_files_mode, true, {}, FALSE, 0,
                     {"file://C:\\data\\show\\index.html", "file://C:\\data\\show\\index.html"}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CQuorvelViewIETest, EngineReportWritesThePageWithItsVersionIntoEveryView)
{
    views.viewRects = {RECT{0, 0, 100, 100}, RECT{100, 0, 200, 100}};
    ASSERT_EQ(0, views.createViews(&parent));
    EXPECT_EQ(0, views.populateIEViews(true));
    const std::string page = views.engineReportHtml.str();
    EXPECT_NE(page.find("Quorvel v25.0.1.0"), std::string::npos);
    EXPECT_EQ(page.find("%%VERSION%%"), std::string::npos);
    size_t written = 0;
    for (const std::string& record : log.records())
        written += record == populateRecord + "doCreateHtmlView - After LoadFromResource";
    EXPECT_EQ(2u, written);
}

TEST_F(CQuorvelViewIETest, NoViewToPopulateIsNoFailure)
{
    theApp.config.urlList.clear();
    theApp.config.currentUrl = -1;
    EXPECT_EQ(0, views.populateIEViews(false));
}

} // namespace
