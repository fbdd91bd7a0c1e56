// A view of the show on a real headless Chromium through the provider. The view's user-data
// folder is named after the program's file, which every test of this executable shares: a
// browser per folder at a time, so these run alone.
#include "qvedge/views/edge/WebView2Wrapper.h"

#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/FeedServer.h"
#include "tests/webview2/chromium/ChromiumSession.h"
#include "webview2/include/WebView2Callback.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace chromiumtest;

namespace {

constexpr RECT VIEW_BOUNDS = {0, 0, 64, 48};
constexpr const char* HOST_CLASS = "QvChromiumViewHost";

std::vector<LPARAM> reports;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WebPageLoaded) {
        reports.push_back(lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string percentEncoded(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

class WebView2WrapperChromiumTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (pageAddress("/").empty())
            GTEST_SKIP() << "no page server: run through ctest";
        static const ATOM atom = [] {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = hostProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = HOST_CLASS;
            return RegisterClassA(&windowClass);
        }();
        (void)atom;
        reports.clear();
        host = CreateWindowExA(WS_EX_TOOLWINDOW, HOST_CLASS, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 80, 64,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        view = std::make_unique<WebView2Wrapper>();
        view->bounds = VIEW_BOUNDS;
    }
    void TearDown() override
    {
        if (view && view->controller)
            view->controller->Close();
        view.reset();
        if (host)
            DestroyWindow(host);
    }

    void start(const std::wstring& address)
    {
        view->initializeWebView2(host, 0, CString(std::string(address.begin(), address.end()).c_str()), true);
    }

    ChromiumSession session;
    HWND host = nullptr;
    std::unique_ptr<WebView2Wrapper> view;
};

} // namespace

TEST_F(WebView2WrapperChromiumTest, AnUnreachableAddressStillReportsTheView)
{
    start(L"http://127.0.0.1:" + std::to_wstring(closedPort()) + L"/");
    ASSERT_TRUE(pumpUntil([] { return !reports.empty(); }));
    // A page that failed to load counts as loaded.
    EXPECT_EQ(std::vector<LPARAM>{1}, reports);
    ASSERT_TRUE(view->webView);
    EXPECT_EQ("\"chrome-error://chromewebdata/\"", scriptUntil(view->webView.Get(), L"location.href",
                                                                "\"chrome-error://chromewebdata/\""));
}

TEST_F(WebView2WrapperChromiumTest, TheConvertedFeedReachesThePageThroughJsonDecode)
{
    ASSERT_TRUE(trustFeedServerCertificate());
    const std::string feed = "/echo?a=1&callback=cb&b=2";
    start(pageAddress("/feed?port=" + std::to_string(feedServerPort()) + "&path=" + percentEncoded(feed)));
    ASSERT_TRUE(pumpUntil([] { return !reports.empty(); }));
    std::string received;
    EXPECT_TRUE(pumpUntil([&] {
        received = runScript(view->webView.Get(), L"window.feed ? JSON.stringify(window.feed) : ''").json;
        return received.find("/echo?a=1&b=2") != std::string::npos;
    })) << received;
    view->controller->put_IsVisible(TRUE);
    EXPECT_TRUE(pumpUntil([&] {
        HWND content = contentWindowOf(host);
        return content && closeTo(pixelAt(content, 32, 24), 0x00ff00);
    }));
}
