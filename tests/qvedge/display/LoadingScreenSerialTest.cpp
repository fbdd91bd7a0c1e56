// Shows that never come on screen stay at their loading screen, without the hooks; real
// keys and pointer moves still end them through the dialog's own loop. Run alone: the
// input is the system's.
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/views/edge/WebView2Wrapper.h"
#include "tests/qvedge/support/ShowDialog.h"
#include "tests/qvedge/support/SystemInputTurn.h"
#include "tests/qvedge/support/ViewWindowRefusal.h"
#include "tests/qvedge/views/edge/FakeWebView2.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace {

enum class Input { Key, MouseMove };

struct LoadingCase {
    const char* name;
    // Sets up the configuration and the runtime for a show that never comes on.
    void (*arrange)(CQuorvelConf& config, FakeRuntimeKnobs& knobs);
    bool ie;
    Input input;
    // The first Internet Explorer view cannot be made.
    bool viewRefused = false;
};

void PrintTo(const LoadingCase& c, std::ostream* out)
{
    *out << c.name;
}

void controllerStepWithoutReport(CQuorvelConf&, FakeRuntimeKnobs& knobs)
{
    knobs.getCoreWebView2Result = E_FAIL;
}

void emptyFirstAddress(CQuorvelConf& config, FakeRuntimeKnobs&)
{
    config.urlList = {""};
}

// The Internet Explorer views find no address to navigate to.
void noAddress(CQuorvelConf& config, FakeRuntimeKnobs&)
{
    config.urlList.clear();
}

void keepConfiguration(CQuorvelConf&, FakeRuntimeKnobs&) {}

class LoadingScreenTest : public testing::TestWithParam<LoadingCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(turn.taken);
        webViewLoadFailed = false;
        firstAllLoaded = true;
        CQuorvelConf& config = theApp.config;
        config.urlList = {"https://example.org/"};
        config.currentUrl = -1;
        config.mode = url_list_mode;
        config.timeOut = 0;
        config.showFooter = 0;
    }
    void TearDown() override { dialog.reset(); }

    // Runs the loop a while, as the start-up does; true when the show has ended. Each round
    // gives the loop a message of its own: with none it would wait in its retrieval.
    bool runFor(DWORD ms)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms && !dialog->loopDone;) {
            PostMessageA(dialog->m_hWnd, WM_NULL, 0, 0);
            dialog->RunMyModalLoop(0);
            if (!dialog->loopDone)
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return dialog->loopDone;
    }

    SystemInputTurn turn;
    FakeRuntime runtime;
    std::unique_ptr<CQuorvelDlg> dialog;
};

TEST_P(LoadingScreenTest, TheShowStillEndsOnInput)
{
    const LoadingCase& c = GetParam();
    c.arrange(theApp.config, runtime.knobs);
    std::optional<ViewWindowRefusal> refusal;
    if (c.viewRefused)
        refusal.emplace(1);
    dialog = createShowDialog(
        ShowOptions{FALSE, false, MONITOR_MAIN_ONLY, 0, c.ie, TRUE, EXIT_KEYBOARD | EXIT_MOUSE_MOVE});
    if (refusal) {
        ASSERT_TRUE(dialog->views.ieViews.empty());
    }
    refusal.reset();
    ASSERT_FALSE(runFor(500));
    ASSERT_FALSE(dialog->contentShown);
    ASSERT_FALSE(dialog->hooksInstalled);
    EXPECT_TRUE(IsWindowVisible(dialog->m_hWnd));
    EXPECT_TRUE(IsWindowVisible(dialog->LoadingAnimation.m_hWnd));
    SetForegroundWindow(dialog->m_hWnd);
    bool ended = false;
    for (int round = 0; round < 20 && !ended; ++round) {
        if (c.input == Input::Key) {
            pressKey('Q');
        } else {
            SetCursorPos(200, 200);
            ended = runFor(100);
            SetCursorPos(400, 300);
        }
        ended = ended || runFor(200);
    }
    EXPECT_TRUE(ended);
}

INSTANTIATE_TEST_SUITE_P(
    Stuck, LoadingScreenTest,
    testing::Values(LoadingCase{"ControllerStepWithoutReportKey", controllerStepWithoutReport, false, Input::Key},
                    LoadingCase{"ControllerStepWithoutReportMouseMove", controllerStepWithoutReport, false,
                                Input::MouseMove},
                    LoadingCase{"EmptyFirstAddressKey", emptyFirstAddress, false, Input::Key},
                    LoadingCase{"EmptyFirstAddressMouseMove", emptyFirstAddress, false, Input::MouseMove},
                    LoadingCase{"InternetExplorerWithoutAddressKey", noAddress, true, Input::Key},
                    LoadingCase{"InternetExplorerWithoutAddressMouseMove", noAddress, true, Input::MouseMove},
                    LoadingCase{"ViewNotMadeKey", keepConfiguration, true, Input::Key, true},
                    LoadingCase{"ViewNotMadeMouseMove", keepConfiguration, true, Input::MouseMove, true}),
    [](const testing::TestParamInfo<LoadingCase>& info) { return std::string(info.param.name); });

} // namespace
