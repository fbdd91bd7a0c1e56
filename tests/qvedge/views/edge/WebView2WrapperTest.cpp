#include "qvedge/views/edge/WebView2Wrapper.h"

#include "framework/CException.h"
#include "framework/InternetSession.h"
#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/views/edge/FakeWebView2.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Report = std::pair<WPARAM, LPARAM>;

const RECT viewBounds = {1, 2, 3, 4};

// One view driven through the fake runtime, its host a hidden window of the test.
class WebView2ChainTest : public testing::Test {
protected:
    void SetUp() override
    {
        host = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        view = std::make_unique<WebView2Wrapper>();
        view->bounds = viewBounds;
    }
    void TearDown() override
    {
        if (view->controller)
            view->controller->Close();
        view.reset();
        DestroyWindow(host);
    }

    void start(const char* content, bool isUrl = true, int index = 0)
    {
        view->initializeWebView2(host, index, content, isUrl);
        runtime.runPending();
    }

    std::vector<Report> reports()
    {
        std::vector<Report> result;
        MSG msg;
        while (PeekMessageA(&msg, host, WM_WebPageLoaded, WM_WebPageLoaded, PM_REMOVE))
            result.emplace_back(msg.wParam, msg.lParam);
        return result;
    }

    FakeRuntime runtime;
    HWND host = nullptr;
    std::unique_ptr<WebView2Wrapper> view;
};

TEST_F(WebView2ChainTest, ChainBringsUpAHiddenTransparentViewAndReportsItsPage)
{
    start("https://example.org/", true, 3);
    const std::vector<std::string> expected = {
        "CreateCoreWebView2Controller host",
        "get_CoreWebView2",
        "get_DefaultBackgroundColor",
        "put_DefaultBackgroundColor 0,0,0,0",
        "add_NavigationStarting",
        "add_NavigationCompleted",
        "AddWebResourceRequestedFilter * 0",
        "add_WebResourceRequested",
        "get_Settings",
        "put_AreDefaultContextMenusEnabled 0",
        "put_IsZoomControlEnabled 0",
        "put_IsPinchZoomEnabled 0",
        "put_Bounds 1,2,3,4",
        "put_IsVisible 0",
        "Navigate https://example.org/",
        "add_WindowCloseRequested",
        // The completed navigation puts the saved colour back.
        "put_DefaultBackgroundColor 255,10,20,30",
    };
    EXPECT_EQ(expected, runtime.callsOf(0));
    EXPECT_EQ(std::vector<Report>({{3, 1}}), reports());
    EXPECT_EQ(1, runtime.entryCalls);
    EXPECT_FALSE(runtime.browserFolderGiven);
    EXPECT_EQ(L"--autoplay-policy=no-user-gesture-required", runtime.browserArguments);
    EXPECT_TRUE(view->environment);
    EXPECT_TRUE(view->controller);
    EXPECT_TRUE(view->webView);
    EXPECT_NE(0, view->navigationStartingToken.value);
    EXPECT_NE(0, view->navigationCompletedToken.value);
    EXPECT_NE(0, view->webResourceRequestedToken.value);
    EXPECT_EQ(view->content, view->navigationContent);
    EXPECT_TRUE(view->isUrl);
    // The clock's points in chain order; the zero point is not the clock's start.
    EXPECT_NE(WebView2Clock::time_point{}, view->startTime);
    EXPECT_LE(view->startTime, view->environmentTime);
    EXPECT_LE(view->environmentTime, view->controllerTime);
    EXPECT_LE(view->controllerTime, view->navigationTime);
    EXPECT_LE(view->navigationTime, view->completedTime);
}

TEST_F(WebView2ChainTest, UserDataFolderIsTheTempPathAndTheProgramFileName)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string programPath = program;
    const std::string expected = std::string(temp) + programPath.substr(programPath.find_last_of('\\') + 1);
    start("https://example.org/");
    EXPECT_EQ(expected, journalText(runtime.userDataFolder.c_str()));
    EXPECT_EQ(CString("C:\\Temp\\show.scr"), webView2UserDataFolder("C:\\Temp\\", "C:\\Apps\\show.scr"));
}

TEST_F(WebView2ChainTest, FolderStatusIsLoggedInTheLoggedNumbers)
{
    LogCapture log;
    start("https://example.org/");
    // Nothing made the folder: libstdc++ says not_found (-1), logged as 1.
    EXPECT_TRUE(log.has("WebView2Wrapper.cpp\tinitializeWebView2\tWebView2 temp folder status 1 error : generic:2"));
}

TEST(WebView2FileTypeTest, LibstdcxxTypesMapToTheLoggedNumbers)
{
    using std::filesystem::file_type;
    const std::vector<std::pair<file_type, int>> cases = {
        {file_type::none, 0},    {file_type::not_found, 1}, {file_type::regular, 2},   {file_type::directory, 3},
        {file_type::symlink, 4}, {file_type::block, 5},     {file_type::character, 6}, {file_type::fifo, 7},
        {file_type::socket, 8},  {file_type::unknown, 9},
    };
    for (const auto& [type, logged] : cases)
        EXPECT_EQ(logged, loggedFileType(static_cast<int>(type))) << static_cast<int>(type);
}

// A step that fails: the knob, the log record, the reports and whether a controller was asked for.
struct ChainFailure {
    std::string name;
    void (*set)(FakeRuntimeKnobs&);
    std::string record;
    std::vector<Report> reports;
    bool controllerRequested;
};

void PrintTo(const ChainFailure& c, std::ostream* out)
{
    *out << c.name;
}

class WebView2ChainFailureTest : public WebView2ChainTest, public testing::WithParamInterface<ChainFailure> {};

TEST_P(WebView2ChainFailureTest, EndsWithTheReportOfItsRow)
{
    const ChainFailure& c = GetParam();
    c.set(runtime.knobs);
    LogCapture log;
    start("https://example.org/", true, 2);
    EXPECT_TRUE(log.has(c.record)) << c.record;
    EXPECT_EQ(c.reports, reports());
    EXPECT_EQ(c.controllerRequested, runtime.count("CreateCoreWebView2Controller host") == 1);
    EXPECT_FALSE(runtime.called(0, "Navigate https://example.org/"));
}

const std::string wrapperSource = "WebView2Wrapper.cpp\t";
const std::string controllerStep = wrapperSource + "OnCreateCoreWebView2ControllerCompleted\t";

INSTANTIATE_TEST_SUITE_P(
    Steps, WebView2ChainFailureTest,
    testing::Values(
        ChainFailure{"Entry", [](FakeRuntimeKnobs& k) { k.entryResult = E_FAIL; },
                     wrapperSource + "initializeWebView2\tFailed to create webview environment -2147467259",
                     {{2, 0}}, false},
        ChainFailure{"EnvironmentResult", [](FakeRuntimeKnobs& k) { k.environmentResult = E_ACCESSDENIED; },
                     wrapperSource + "OnCreateEnvironmentCompleted\tFailed to create webview environment -2147024891",
                     {{2, 0}}, false},
        ChainFailure{"CreateController", [](FakeRuntimeKnobs& k) { k.createControllerResult = E_FAIL; },
                     wrapperSource + "OnCreateEnvironmentCompleted\tFailed to create webview environment2 -2147467259",
                     {{2, 0}}, true},
        ChainFailure{"ControllerResult", [](FakeRuntimeKnobs& k) { k.controllerResult = E_FAIL; },
                     controllerStep + "WebView2Wrapper::OnCreateCoreWebView2ControllerCompleted() error -2147467259",
                     {{2, 0}}, true},
        ChainFailure{"GetCoreWebView2", [](FakeRuntimeKnobs& k) { k.getCoreWebView2Result = E_FAIL; },
                     controllerStep + "get_CoreWebView2() error -2147467259", {}, true},
        ChainFailure{"NoWebView8", [](FakeRuntimeKnobs& k) { k.answersWebView8 = false; },
                     controllerStep + "QueryInterface(ICoreWebView2_8) error -2147467262", {{2, 0}}, true},
        ChainFailure{"AddNavigationStarting", [](FakeRuntimeKnobs& k) { k.addNavigationStartingResult = E_FAIL; },
                     controllerStep + "add_NavigationStarting() error -2147467259", {}, true},
        ChainFailure{"AddNavigationCompleted", [](FakeRuntimeKnobs& k) { k.addNavigationCompletedResult = E_FAIL; },
                     controllerStep + "add_NavigationCompleted() error -2147467259", {}, true},
        ChainFailure{"AddWebResourceRequested",
                     [](FakeRuntimeKnobs& k) { k.addWebResourceRequestedResult = E_FAIL; },
                     controllerStep + "add_WebResourceRequested() error -2147467259", {}, true}),
    [](const testing::TestParamInfo<ChainFailure>& info) { return info.param.name; });

TEST_F(WebView2ChainTest, WithoutSettingsTheViewStillNavigates)
{
    runtime.knobs.hasSettings = false;
    start("https://www.google.com/");
    EXPECT_FALSE(runtime.called(0, "put_AreDefaultContextMenusEnabled 0"));
    EXPECT_FALSE(runtime.called(0, "get_UserAgent"));
    EXPECT_TRUE(runtime.called(0, "Navigate https://www.google.com/"));
    EXPECT_EQ(std::vector<Report>({{0, 1}}), reports());
}

TEST_F(WebView2ChainTest, WithoutTheColourInterfaceTheColourStepsAreSkipped)
{
    runtime.knobs.answersController2 = false;
    start("https://example.org/");
    EXPECT_FALSE(runtime.called(0, "get_DefaultBackgroundColor"));
    EXPECT_EQ(0u, runtime.count("put_DefaultBackgroundColor 0,0,0,0"));
    EXPECT_TRUE(runtime.called(0, "Navigate https://example.org/"));
    EXPECT_EQ(std::vector<Report>({{0, 1}}), reports());
}

TEST_F(WebView2ChainTest, WithoutSettings5PinchZoomIsLeftAlone)
{
    runtime.knobs.answersSettings5 = false;
    start("https://example.org/");
    EXPECT_TRUE(runtime.called(0, "put_IsZoomControlEnabled 0"));
    EXPECT_FALSE(runtime.called(0, "put_IsPinchZoomEnabled 0"));
}

TEST_F(WebView2ChainTest, PageTextIsShownAsADocumentWithoutEditOrNavigationTime)
{
    start("<p>.google.com</p>", false);
    EXPECT_TRUE(runtime.called(0, "NavigateToString <p>.google.com</p>"));
    EXPECT_FALSE(runtime.called(0, "Navigate <p>.google.com</p>"));
    EXPECT_FALSE(runtime.called(0, "get_UserAgent"));
    EXPECT_EQ(WebView2Clock::time_point{}, view->navigationTime);
    EXPECT_EQ(std::vector<Report>({{0, 1}}), reports());
}

// Exceptions out of a runtime call end the step with a failure report, never in the runtime.
struct ThrowingStep {
    std::string name;
    void (*raise)();
};

void PrintTo(const ThrowingStep& c, std::ostream* out)
{
    *out << c.name;
}

class WebView2ChainExceptionTest : public WebView2ChainTest, public testing::WithParamInterface<ThrowingStep> {};

TEST_P(WebView2ChainExceptionTest, IsCaughtAndReportedAsAFailure)
{
    runtime.knobs.raiseInGetCoreWebView2 = GetParam().raise;
    start("https://example.org/", true, 1);
    EXPECT_EQ(std::vector<Report>({{1, 0}}), reports());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WebView2ChainExceptionTest,
    testing::Values(ThrowingStep{"BadAlloc", [] { throw std::bad_alloc(); }},
                    ThrowingStep{"MemoryException", [] { throw CMemoryException(); }},
                    ThrowingStep{"InternetException", [] { throw CInternetException(12029); }},
                    ThrowingStep{"Anything", [] { throw 42; }}),
    [](const testing::TestParamInfo<ThrowingStep>& info) { return info.param.name; });

TEST(UserAgentEditTest, TakesOutTheEdgeToken)
{
    const std::vector<std::pair<CString, CString>> cases = {
        {"A Edg/1.2 B", "A B"},
        {"A Edg/1.2", "A"},
        {"Edg/1.2", ""},
        {"A B", "A B"},
        // Every occurrence of the first token and its blank goes.
        {"X Edg/1 Y Edg/1 Z", "X Y Z"},
        {"", ""},
    };
    for (const auto& [agent, edited] : cases)
        EXPECT_EQ(edited, userAgentWithoutEdge(agent)) << agent.GetString();
}

TEST_F(WebView2ChainTest, UserAgentIsWrittenBackEdited)
{
    const std::vector<std::pair<std::wstring, std::string>> cases = {
        {L"A Edg/1.2 B", "A B"}, {L"A Edg/1.2", "A"}, {L"Edg/1.2", ""}, {L"A B", "A B"}};
    for (const auto& [agent, edited] : cases) {
        runtime.knobs.userAgent = agent;
        if (view->controller)
            view->controller->Close();
        runtime.restart();
        view = std::make_unique<WebView2Wrapper>();
        start("https://www.google.com/search?q=1");
        EXPECT_TRUE(runtime.called(0, "put_UserAgent '" + edited + "'")) << edited;
    }
}

TEST(UserAgentHostPatternTest, TheTableNamesTheSearchEngineItsMailTheVideoSiteAndItsShortLinks)
{
    const std::vector<std::string> expected = {".google.com", ".gmail.com", ".youtube.com", "youtu.be/"};
    EXPECT_EQ(expected, std::vector<std::string>(std::begin(USER_AGENT_HOST_PATTERNS),
                                                 std::end(USER_AGENT_HOST_PATTERNS)));
}

class UserAgentHostTest : public WebView2ChainTest,
                          public testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(UserAgentHostTest, OnlyAnAddressWithAPatternHasItsAgentReadAndWritten)
{
    const auto& [address, edited] = GetParam();
    EXPECT_EQ(edited, needsUserAgentEdit(address));
    start(address);
    EXPECT_EQ(edited, runtime.called(0, "get_UserAgent"));
    EXPECT_EQ(edited ? 1u : 0u, runtime.count("put_UserAgent 'Mozilla/5.0 AppleWebKit/537.36 Chrome/140.0 Safari/537.36'"));
    EXPECT_TRUE(runtime.called(0, std::string("Navigate ") + address));
}

INSTANTIATE_TEST_SUITE_P(Addresses, UserAgentHostTest,
                         testing::Values(std::make_pair("https://www.google.com/search?q=a", true),
                                         std::make_pair("https://mail.gmail.com/", true),
                                         std::make_pair("https://www.youtube.com/watch?v=x", true),
                                         std::make_pair("https://youtu.be/x", true),
                                         std::make_pair("https://example.org/?u=https://m.youtube.com", true),
                                         // No leading dot, other case, no slash: no match.
                                         std::make_pair("https://google.com/", false),
                                         std::make_pair("https://www.GOOGLE.com/", false),
                                         std::make_pair("https://youtu.be", false),
                                         std::make_pair("https://example.org/", false)));

TEST_F(WebView2ChainTest, WithoutSettings2TheAgentIsLeftAlone)
{
    runtime.knobs.answersSettings2 = false;
    runtime.knobs.answersSettings5 = false;
    start("https://www.youtube.com/");
    EXPECT_FALSE(runtime.called(0, "get_UserAgent"));
    EXPECT_TRUE(runtime.called(0, "Navigate https://www.youtube.com/"));
}

TEST_F(WebView2ChainTest, AnAgentThatCannotBeReadIsNotOverwritten)
{
    runtime.knobs.getUserAgentResult = E_FAIL;
    start("https://www.youtube.com/");
    EXPECT_TRUE(runtime.called(0, "get_UserAgent"));
    EXPECT_EQ(0u, runtime.count("put_UserAgent ''"));
    EXPECT_TRUE(runtime.called(0, "Navigate https://www.youtube.com/"));
}

} // namespace
