// The real qvedge.scr on its WebView2 road, with the scripted runtime beside a copy of it:
// what the program asks of the runtime, in which order, read from the runtime's journal.
#include "tests/qvedge/support/EdgeShow.h"
#include "tests/qvedge/support/FeedServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const FAILURE = "0x80004005";
const char* const NO_INTERFACE = "0x80004002";
const std::string A = "https://a.example/";
const std::string B = "https://b.example/";
const std::string C = "https://c.example/";

std::vector<std::string> navigations(const Journal& journal)
{
    std::vector<std::string> addresses;
    for (const JournalCall& call : callsOf(journal, "Navigate"))
        addresses.push_back(call.field("uri"));
    return addresses;
}

std::string describe(const Journal& journal)
{
    std::string text;
    for (const JournalCall& call : journal) {
        text += "\n  " + call.who + " " + call.method;
        for (const auto& field : call.fields)
            text += " " + field.first + "=" + field.second.substr(0, 80);
    }
    return text;
}

auto hasCall(const std::string& method, const std::string& name = "", const std::string& value = "")
{
    return [=](const Journal& journal) { return findCall(journal, 0, method, name, value) >= 0; };
}

auto hasCalls(const std::string& method, size_t count)
{
    return [=](const Journal& journal) { return callsOf(journal, method).size() >= count; };
}

// Ends a show that is still running through its dialog; true when it ended cleanly.
bool closesCleanly(const EdgeShow& show)
{
    if (show.running() && !show.close())
        return false;
    return show.waitForEnd() && show.exitCode() == 0;
}

// The chain's calls, each after the one before it: the environment with its arguments,
// the controller on the dialog, the view made transparent and hidden with its handlers
// and settings, the first address, and only after its completed navigation the unmuting
// and the showing.
TEST(EdgeShowProgramTest, TheChainRunsInOrderAndTheViewIsShownOnlyAfterItsReport)
{
    EdgeShow show;
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    ASSERT_TRUE(closesCleanly(show));
    const Journal journal = show.journal();

    struct Step {
        const char* method;
        const char* field;
        std::string value;
    };
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string bounds =
        "0,0," + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," + std::to_string(GetSystemMetrics(SM_CYSCREEN));
    const std::vector<Step> steps = {
        {"CreateEnvironment", "userDataFolder", std::string(temp) + show.programFile},
        {"raise:EnvironmentCompleted", "result", "0x00000000"},
        {"CreateCoreWebView2Controller", "result", "0x00000000"},
        {"raise:ControllerCompleted", "result", "0x00000000"},
        {"get_CoreWebView2", "", ""},
        {"QueryInterface", "iid", "ICoreWebView2_8"},
        {"get_DefaultBackgroundColor", "", ""},
        {"put_DefaultBackgroundColor", "color", "0,0,0,0"},
        {"add_NavigationStarting", "", ""},
        {"add_NavigationCompleted", "", ""},
        {"AddWebResourceRequestedFilter", "uri", "*"},
        {"add_WebResourceRequested", "", ""},
        {"get_Settings", "", ""},
        {"put_AreDefaultContextMenusEnabled", "value", "0"},
        {"put_IsZoomControlEnabled", "value", "0"},
        {"put_IsPinchZoomEnabled", "value", "0"},
        {"put_Bounds", "bounds", bounds},
        {"put_IsVisible", "value", "0"},
        {"Navigate", "uri", A},
        {"add_WindowCloseRequested", "", ""},
        {"raise:NavigationCompleted", "uri", A},
        {"put_DefaultBackgroundColor", "color", "255,255,255,255"},
        {"put_IsMuted", "value", "0"},
        {"put_IsVisible", "value", "1"},
        {"Close", "", ""},
    };
    int at = -1;
    for (const Step& step : steps) {
        at = findCall(journal, static_cast<size_t>(at + 1), step.method, step.field, step.value);
        ASSERT_GE(at, 0) << "no " << step.method << " " << step.field << "=" << step.value << " after the step before"
                         << describe(journal);
    }
    const JournalCall environment = callsOf(journal, "CreateEnvironment").at(0);
    EXPECT_EQ("", environment.field("browserFolder"));
    EXPECT_EQ("--autoplay-policy=no-user-gesture-required", environment.field("arguments"));
    EXPECT_EQ(1u, callsOf(journal, "CreateEnvironment").size());
    EXPECT_EQ(1u, callsOf(journal, "CreateCoreWebView2Controller").size());
    EXPECT_EQ(1u, std::count_if(journal.begin(), journal.end(),
                                [](const JournalCall& c) { return c.is("put_IsVisible", "value", "1"); }));
    EXPECT_EQ(-1, findCall(journal, 0, "put_IsMuted", "value", "1")) << describe(journal);
}

TEST(EdgeShowProgramTest, RotatesThroughTheListInItsOrderOnceShown)
{
    EdgeShow show;
    ShowConfig config;
    config.addresses = {A, B, C};
    config.timeOut = 50;
    ASSERT_TRUE(show.start(config));
    ASSERT_TRUE(show.waitForJournal(hasCalls("Navigate", 7)));
    ASSERT_TRUE(closesCleanly(show));
    const Journal journal = show.journal();
    const std::vector<std::string> addresses = navigations(journal);
    ASSERT_GE(addresses.size(), 7u);
    for (size_t i = 0; i < addresses.size(); ++i)
        EXPECT_EQ(config.addresses[i % 3], addresses[i]) << "navigation " << i;
    // The rotation starts with the showing: the first address alone comes before it.
    const int shown = findCall(journal, 0, "put_IsVisible", "value", "1");
    ASSERT_GE(shown, 0);
    EXPECT_LT(findCall(journal, 0, "Navigate"), shown);
    EXPECT_GT(findCall(journal, static_cast<size_t>(findCall(journal, 0, "Navigate") + 1), "Navigate"), shown);
}

// The first pass is a cyclic reordering of the list, so no address keeps its place; each
// pass shows every address once, and a pass never begins with the address just shown.
TEST(EdgeShowProgramTest, ARandomListWalksACyclicPermutationFirst)
{
    EdgeShow show;
    ShowConfig config;
    config.addresses = {A, B, C};
    config.random = true;
    config.timeOut = 50;
    ASSERT_TRUE(show.start(config));
    ASSERT_TRUE(show.waitForJournal(hasCalls("Navigate", 9)));
    ASSERT_TRUE(closesCleanly(show));
    const std::vector<std::string> addresses = navigations(show.journal());
    ASSERT_GE(addresses.size(), 9u);
    const std::vector<std::string> first(addresses.begin(), addresses.begin() + 3);
    EXPECT_TRUE(first == std::vector<std::string>({B, C, A}) || first == std::vector<std::string>({C, A, B}))
        << testing::PrintToString(first);
    for (size_t pass = 0; pass < 3; ++pass) {
        const std::set<std::string> seen(addresses.begin() + 3 * pass, addresses.begin() + 3 * pass + 3);
        EXPECT_EQ(std::set<std::string>({A, B, C}), seen) << "pass " << pass;
        if (pass > 0) {
            EXPECT_NE(addresses[3 * pass - 1], addresses[3 * pass]) << "pass " << pass;
        }
    }
}

struct FolderCase {
    const char* name;
    int mode;
    bool ssTest;
    // The expected address from the workspace folder.
    std::string (*address)(const std::string& folder);
};

void PrintTo(const FolderCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string withSlashes(std::string text)
{
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

const char* const SELECTED_FOLDER = "C:\\Pick\\deck";

class EdgeShowFolderTest : public testing::TestWithParam<FolderCase> {};

// A local page is shown from the package's data folder and never rotated, whatever the
// interval.
TEST_P(EdgeShowFolderTest, ShowsTheFolderPageAndNeverRotates)
{
    const FolderCase& c = GetParam();
    EdgeShow show;
    ShowConfig config;
    config.mode = c.mode;
    config.addresses = {A, B};
    config.timeOut = 20;
    config.selectedFolder = SELECTED_FOLDER;
    ASSERT_TRUE(show.start(config, ShowStart::TestRun, c.ssTest ? "/sstest" : ""));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    // Time for a few dozen ticks of the interval.
    Sleep(600);
    ASSERT_TRUE(closesCleanly(show));
    EXPECT_EQ(std::vector<std::string>({c.address(show.folder())}), navigations(show.journal()));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EdgeShowFolderTest,
    testing::Values(
        FolderCase{"PresentationKeepsBackslashes", 3, false,
                   [](const std::string& f) { return "file:///" + f + "\\data/index.html"; }},
        FolderCase{"MediaFilesTurnThemIntoSlashes", 4, false,
                   [](const std::string& f) { return withSlashes("file:///" + f + "\\data/index.html"); }},
        FolderCase{"PresentationTestUsesTheSelectedFolder", 3, true,
                   [](const std::string&) { return "file:///" + std::string(SELECTED_FOLDER) + "/index.html"; }}),
    [](const testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

TEST(EdgeShowProgramTest, TheEngineReportIsShownAsPageText)
{
    EdgeShow show;
    ASSERT_TRUE(show.start(ShowConfig{}, ShowStart::TestRun, "/engine"));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    ASSERT_TRUE(closesCleanly(show));
    const Journal journal = show.journal();
    const Journal pages = callsOf(journal, "NavigateToString");
    ASSERT_EQ(1u, pages.size()) << describe(journal);
    EXPECT_EQ(0u, pages[0].field("text").rfind("<!DOCTYPE html>", 0)) << pages[0].field("text");
    EXPECT_GT(std::stoul(pages[0].field("length")), 1000u);
    EXPECT_TRUE(navigations(journal).empty());
    EXPECT_LT(findCall(journal, 0, "NavigateToString"), findCall(journal, 0, "put_IsVisible", "value", "1"));
}

struct FailureCase {
    const char* name;
    std::string knobs;
    // The journal line of the failing step, and the call that must never follow it.
    const char* failedMethod;
    const char* failedField;
    const char* failedValue;
    const char* neverCalled;
    // The runtime handed out a controller, which the show closes at its end.
    bool hadController;
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

// Every step of the chain that reports a failure leaves the WebView2 view hidden for good:
// the show falls back to Internet Explorer.
const std::vector<FailureCase> FALLBACK_CASES = {
    {"EnvironmentCall", std::string("create_environment_hr=") + FAILURE, "CreateEnvironment", "result", FAILURE,
     "raise:EnvironmentCompleted", false},
    {"EnvironmentCompletion", std::string("environment_completed_hr=") + FAILURE, "raise:EnvironmentCompleted",
     "result", FAILURE, "CreateCoreWebView2Controller", false},
    {"ControllerCall", std::string("create_controller_hr=") + FAILURE, "CreateCoreWebView2Controller", "result",
     FAILURE, "raise:ControllerCompleted", false},
    {"ControllerCompletion", std::string("controller_completed_hr=") + FAILURE, "raise:ControllerCompleted", "result",
     FAILURE, "get_CoreWebView2", false},
    {"WebView8Query", std::string("webview8_query_hr=") + NO_INTERFACE, "QueryInterface", "result", NO_INTERFACE,
     "Navigate", true},
};

class EdgeShowFallbackTest : public testing::TestWithParam<FailureCase> {
protected:
    // Starts the show and waits for the failing step, then for long enough that a show
    // that went on regardless would have navigated and shown its view.
    void runToFailure()
    {
        const FailureCase& c = GetParam();
        show = std::make_unique<EdgeShow>(c.knobs);
        ASSERT_TRUE(show->start(ShowConfig{}));
        ASSERT_TRUE(show->waitForJournal(hasCall(c.failedMethod, c.failedField, c.failedValue)))
            << describe(show->journal());
        Sleep(500);
    }

    std::unique_ptr<EdgeShow> show;
};

TEST_P(EdgeShowFallbackTest, TheWebView2ViewIsNeverShown)
{
    runToFailure();
    ASSERT_TRUE(show->running()) << "the show ended by itself, exit code " << show->exitCode();
    ASSERT_TRUE(closesCleanly(*show));
    const Journal journal = show->journal();
    EXPECT_FALSE(showsAView(journal)) << describe(journal);
    EXPECT_EQ(-1, findCall(journal, 0, GetParam().neverCalled)) << describe(journal);
    EXPECT_EQ(GetParam().hadController, findCall(journal, 0, "Close") >= 0) << describe(journal);
}

// The Internet Explorer views come on screen in the WebView2 views' place.
TEST_P(EdgeShowFallbackTest, InternetExplorerViewsComeOnScreen)
{
    runToFailure();
    HWND view = nullptr;
    for (DWORD start = GetTickCount(); !view && GetTickCount() - start < SHOW_STEP_LIMIT_MS; Sleep(50))
        view = findVisibleWindowOfClass(show->processId(), "Shell Embedding");
    EXPECT_NE(nullptr, view);
    EXPECT_TRUE(closesCleanly(*show));
}

INSTANTIATE_TEST_SUITE_P(Steps, EdgeShowFallbackTest, testing::ValuesIn(FALLBACK_CASES),
                         [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A controller step that fails without a report leaves the show waiting for the view at
// its loading screen: no fallback, no navigation.
TEST(EdgeShowProgramTest, AControllerStepWithoutAReportNeitherShowsNorFallsBack)
{
    EdgeShow show(std::string("get_corewebview2_hr=") + FAILURE);
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(hasCall("get_CoreWebView2", "result", FAILURE)));
    Sleep(500);
    EXPECT_EQ(nullptr, findVisibleWindowOfClass(show.processId(), "Shell Embedding"));
    ASSERT_TRUE(closesCleanly(show));
    const Journal journal = show.journal();
    EXPECT_FALSE(showsAView(journal)) << describe(journal);
    EXPECT_EQ(-1, findCall(journal, 0, "Navigate")) << describe(journal);
}

// A page that fails to load still counts as loaded: the show comes on screen.
TEST(EdgeShowProgramTest, AFailedNavigationStillShowsTheView)
{
    EdgeShow show("navigation_success=0");
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(showsAView)) << describe(show.journal());
    EXPECT_LT(findCall(show.journal(), 0, "raise:NavigationCompleted", "success", "0"),
              findCall(show.journal(), 0, "put_IsVisible", "value", "1"));
    EXPECT_TRUE(closesCleanly(show));
}

TEST(EdgeShowProgramTest, APageCloseRequestEndsTheShow)
{
    EdgeShow show("close_request_after_ms=100");
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForEnd()) << describe(show.journal());
    EXPECT_EQ(0u, show.exitCode());
    const Journal journal = show.journal();
    const int request = findCall(journal, 0, "raise:WindowCloseRequested");
    ASSERT_GE(request, 0) << describe(journal);
    EXPECT_GT(findCall(journal, static_cast<size_t>(request), "Close"), request);
}

// The page's feed requests, in order: a mem:// address fetched over HTTPS without its
// callback parameter and run as script; an upper-case scheme and an unreachable server
// run nothing; a last request shows that the ones before it have been handled.
TEST(EdgeShowProgramTest, FeedRequestsRunTheirFeedsAsScript)
{
    if (feedServerMemAddress("").empty())
        GTEST_SKIP() << "no feed server: run through ctest";
    ASSERT_TRUE(trustFeedServerCertificate());
    std::string upperCase = feedServerMemAddress("/echo?n=upper");
    upperCase.replace(0, 3, "MEM");
    EdgeShow show("request=" + feedServerMemAddress("/echo?a=1&callback=cb7&b=2") + "\nrequest=" + upperCase +
                  "\nrequest=mem://localhost:1/echo?n=unreachable\nrequest=" + feedServerMemAddress("/echo?n=last"));
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(hasCalls("ExecuteScript", 2))) << describe(show.journal());
    Sleep(200);
    ASSERT_TRUE(closesCleanly(show));
    const Journal journal = show.journal();
    EXPECT_EQ(4u, callsOf(journal, "raise:WebResourceRequested").size()) << describe(journal);
    std::vector<std::string> scripts;
    for (const JournalCall& call : callsOf(journal, "ExecuteScript"))
        scripts.push_back(call.field("script"));
    EXPECT_EQ(std::vector<std::string>({R"(json_decode({"r":{"path":"\/echo?a=1&b=2"}}))",
                                        R"(json_decode({"r":{"path":"\/echo?n=last"}}))"}),
              scripts);
}

struct PendingCase {
    const char* name;
    const char* delayKnob;
    // The call after which the delayed completion is pending.
    const char* pendingAfter;
    // The page asks for a feed, whose script then completes late.
    bool feedRequest;
};

void PrintTo(const PendingCase& c, std::ostream* out)
{
    *out << c.name;
}

class EdgeShowPendingTest : public testing::TestWithParam<PendingCase> {};

// The show ends while the runtime still owes it a completion: the program ends cleanly.
TEST_P(EdgeShowPendingTest, ClosingTheShowEndsItCleanly)
{
    const PendingCase& c = GetParam();
    std::string knobs = std::string(c.delayKnob) + "=3000";
    if (c.feedRequest) {
        if (feedServerMemAddress("").empty())
            GTEST_SKIP() << "no feed server: run through ctest";
        ASSERT_TRUE(trustFeedServerCertificate());
        knobs += "\nrequest=" + feedServerMemAddress("/echo?n=1");
    }
    EdgeShow show(knobs);
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(hasCall(c.pendingAfter))) << describe(show.journal());
    ASSERT_TRUE(show.close());
    ASSERT_TRUE(show.waitForEnd()) << describe(show.journal());
    EXPECT_EQ(0u, show.exitCode());
}

INSTANTIATE_TEST_SUITE_P(
    Completions, EdgeShowPendingTest,
    testing::Values(PendingCase{"Environment", "environment_delay_ms", "CreateEnvironment", false},
                    PendingCase{"Controller", "controller_delay_ms", "CreateCoreWebView2Controller", false},
                    PendingCase{"Navigation", "navigation_delay_ms", "Navigate", false},
                    PendingCase{"Script", "script_delay_ms", "ExecuteScript", true}),
    [](const testing::TestParamInfo<PendingCase>& info) { return std::string(info.param.name); });

} // namespace
