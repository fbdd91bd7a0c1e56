#include "tests/webview2/ProviderSession.h"
#include "tests/webview2/chromium/ChromiumSession.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

using namespace chromiumtest;
using webview2test::EventLog;
using webview2test::HostWindow;
using webview2test::recordEvents;

namespace {

constexpr RECT VIEW_BOUNDS = {8, 8, 72, 56};
constexpr int PROBE_X = 32;
constexpr int PROBE_Y = 24;

class ChromiumProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (pageAddress("/").empty())
            GTEST_SKIP() << "no page server: run through ctest";
        ASSERT_NO_FATAL_FAILURE(createView(host.get(), VIEW_BOUNDS, view));
        ASSERT_NO_FATAL_FAILURE(recordEvents(view.webView.Get(), log));
    }
    void TearDown() override
    {
        if (view.controller)
            view.controller->Close();
    }

    bool completions(size_t count)
    {
        return pumpUntil([&] {
            size_t seen = 0;
            for (const std::string& event : log.events)
                seen += event.rfind("completed:", 0) == 0;
            return seen >= count;
        });
    }
    bool shows(unsigned colour)
    {
        return pumpUntil([&] {
            HWND content = contentWindowOf(host.get());
            return content && closeTo(pixelAt(content, PROBE_X, PROBE_Y), colour);
        });
    }

    ChromiumSession session;
    HostWindow host;
    View view;
    EventLog log;
};

} // namespace

TEST_F(ChromiumProviderTest, APageOfAColourShowsAndTheNextAddressReplacesIt)
{
    const std::wstring red = pageAddress("/colour/ff0000");
    ASSERT_EQ(S_OK, view.webView->Navigate(red.c_str()));
    EXPECT_TRUE(log.events.empty());
    ASSERT_TRUE(completions(1));
    const std::string address = webview2test::narrow(red.c_str());
    EXPECT_EQ((std::vector<std::string>{"starting:0:" + address, "requested:" + address, "completed:1:0"}),
              log.events);
    EXPECT_EQ(GetCurrentThreadId(), log.lastThread);
    EXPECT_TRUE(shows(0xff0000)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
    ASSERT_EQ(S_OK, view.webView->Navigate(pageAddress("/colour/0000ff").c_str()));
    ASSERT_TRUE(completions(2));
    EXPECT_TRUE(shows(0x0000ff)) << std::hex << pixelAt(contentWindowOf(host.get()), PROBE_X, PROBE_Y);
}
