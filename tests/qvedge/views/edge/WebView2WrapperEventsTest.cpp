#include "qvedge/views/edge/WebView2Wrapper.h"

#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/FeedServer.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/views/edge/FakeWebView2.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A view whose chain has run through the fake runtime, its first report taken.
class WebView2EventsTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        view = std::make_unique<WebView2Wrapper>();
        view->initializeWebView2(host, 4, "https://example.org/", true);
        runtime.runPending();
        ASSERT_EQ(1u, posted(WM_WebPageLoaded).size());
        runtime.journal.clear();
    }
    void TearDown() override
    {
        if (view->controller)
            view->controller->Close();
        view.reset();
        DestroyWindow(host);
    }

    std::vector<MSG> posted(UINT message)
    {
        std::vector<MSG> result;
        MSG msg;
        while (PeekMessageA(&msg, host, message, message, PM_REMOVE))
            result.push_back(msg);
        return result;
    }

    std::vector<std::string> scripts() const
    {
        std::vector<std::string> result;
        for (const std::string& call : runtime.callsOf(0)) {
            if (call.rfind("ExecuteScript ", 0) == 0)
                result.push_back(call.substr(14));
        }
        return result;
    }

    FakeRuntime runtime;
    HWND host = nullptr;
    std::unique_ptr<WebView2Wrapper> view;
};

TEST_F(WebView2EventsTest, EveryCompletedNavigationReportsLoadedAndPutsTheColourBack)
{
    for (bool success : {true, false, true}) {
        EXPECT_EQ(S_OK, runtime.fireNavigationCompleted(0, success));
        const std::vector<MSG> reports = posted(WM_WebPageLoaded);
        ASSERT_EQ(1u, reports.size());
        EXPECT_EQ(4u, reports[0].wParam);
        // A page that failed to load counts as loaded.
        EXPECT_EQ(1, reports[0].lParam);
    }
    EXPECT_EQ(3u, runtime.count("put_DefaultBackgroundColor 255,10,20,30"));
}

TEST_F(WebView2EventsTest, NavigationCompletedLogsUnderItsLabel)
{
    LogCapture log;
    runtime.fireNavigationCompleted(0, true);
    EXPECT_TRUE(log.has("WebView2WrapperEvents.cpp\toperator ()\t"
                        "Callback<ICoreWebView2NavigationCompletedEventHandler>NavigationCompleted post WM_WebPageLoaded"));
}

TEST_F(WebView2EventsTest, NavigationStartingNeverCancelsAndLogsARedirect)
{
    LogCapture log;
    EXPECT_EQ(S_OK, runtime.fireNavigationStarting(0, true));
    const std::string label = "WebView2WrapperEvents.cpp\toperator ()\tCallback<ICoreWebView2NavigationStartingEventHandler>";
    EXPECT_TRUE(log.has(label + "Redirected"));
    EXPECT_TRUE(log.has(label + "NavigationStarting"));
    EXPECT_TRUE(posted(WM_WebPageLoaded).empty());
}

TEST_F(WebView2EventsTest, WindowCloseRequestPostsCloseToTheHost)
{
    EXPECT_EQ(S_OK, runtime.fireWindowCloseRequested(0));
    const std::vector<MSG> closes = posted(WM_CLOSE);
    ASSERT_EQ(1u, closes.size());
    EXPECT_EQ(0u, closes[0].wParam);
    EXPECT_EQ(0, closes[0].lParam);
}

TEST_F(WebView2EventsTest, OnlyAnExactMemPrefixIsAFeedRequest)
{
    LogCapture log;
    for (const wchar_t* uri : {L"MEM://localhost/echo", L" mem://localhost/echo", L"https://localhost/mem://",
                               L"mem:/localhost", L""}) {
        // The runtime goes on with every request as without the handler.
        EXPECT_EQ(E_INVALIDARG, runtime.fireResourceRequest(0, uri));
    }
    for (const std::string& record : log.records())
        EXPECT_EQ(std::string::npos, record.find("getMemPage")) << record;
    EXPECT_TRUE(scripts().empty());
}

TEST_F(WebView2EventsTest, AFeedThatCannotBeFetchedRunsNothing)
{
    EXPECT_EQ(E_INVALIDARG, runtime.fireResourceRequest(0, L"mem://localhost:1/echo"));
    EXPECT_TRUE(scripts().empty());
}

class WebView2FeedEventsTest : public WebView2EventsTest {
protected:
    void SetUp() override
    {
        if (feedServerMemAddress("").empty())
            GTEST_SKIP() << "no feed server: run through ctest";
        ASSERT_TRUE(trustFeedServerCertificate());
        WebView2EventsTest::SetUp();
    }
};

TEST_F(WebView2FeedEventsTest, EachFeedRequestRunsItsOwnScriptInOrder)
{
    EXPECT_EQ(E_INVALIDARG, runtime.fireResourceRequest(0, wide(feedServerMemAddress("/echo?n=1"))));
    EXPECT_EQ(E_INVALIDARG, runtime.fireResourceRequest(0, wide(feedServerMemAddress("/echo?n=2"))));
    const std::vector<std::string> expected = {R"(json_decode({"r":{"path":"\/echo?n=1"}}))",
                                               R"(json_decode({"r":{"path":"\/echo?n=2"}}))"};
    EXPECT_EQ(expected, scripts());
    LogCapture log;
    runtime.runPending();
    EXPECT_TRUE(log.has("WebView2WrapperEvents.cpp\toperator ()\t"
                        "Callback<ICoreWebView2ExecuteScriptCompletedHandler>ExecuteScript Result OK"));
}

TEST(WebView2ScriptResultTest, AFailedScriptIsLoggedWithItsCode)
{
    LogCapture log;
    WebView2Wrapper view;
    EXPECT_EQ(S_OK, view.OnExecuteScriptCompleted(E_FAIL, nullptr));
    EXPECT_TRUE(log.has("WebView2WrapperEvents.cpp\toperator ()\t"
                        "Callback<ICoreWebView2ExecuteScriptCompletedHandler>ExecuteScript Error  -2147467259"));
}

} // namespace
