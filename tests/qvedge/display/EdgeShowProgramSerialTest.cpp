// The real qvedge.scr ended by system input: keys and pointer moves sent with SendInput,
// over a page of the scripted runtime and over the loading screen of a show that never
// comes on. Run alone, so that no other test's window takes the input or the activation.
#include "tests/qvedge/support/EdgeShow.h"
#include "tests/qvedge/support/SystemInputTurn.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

const char* const FAILURE_KNOB = "get_corewebview2_hr=0x80004005";

// Absolute coordinates of the primary screen, rounded up so that they map back exactly.
void sendMoveTo(int x, int y)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + width - 1) / width;
    input.mi.dy = (y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

enum class Input { Key, MouseMove };

// Sends input again and again (a new window takes a moment before input reaches it) until
// the show ends; true when it ended within the limit.
bool endsWhileSending(const EdgeShow& show, const std::function<void()>& send)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < SHOW_STEP_LIMIT_MS;) {
        send();
        if (show.waitForEnd(200))
            return true;
    }
    return false;
}

bool endsOn(const EdgeShow& show, Input input)
{
    if (input == Input::Key)
        return endsWhileSending(show, [] { pressKey('Q'); });
    return endsWhileSending(show, [&] {
        sendMoveTo(200, 200);
        show.waitForEnd(100);
        sendMoveTo(400, 300);
    });
}

// A top-level window of the test's own that takes the activation, so that keys land here
// and reach the show only through its system-wide hook.
class KeyCatcher {
public:
    KeyCatcher()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QvKeyCatcher";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_TOPMOST, "QvKeyCatcher", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
    }
    ~KeyCatcher() { DestroyWindow(window); }
    KeyCatcher(const KeyCatcher&) = delete;
    KeyCatcher& operator=(const KeyCatcher&) = delete;

    void pump() const
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    HWND window = nullptr;
    inline static int keysSeen = 0;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN)
            ++keysSeen;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
};

class EdgeShowInputTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(turn.taken); }

    SystemInputTurn turn;
};

// Over a page the keys go elsewhere (here: to the test's own window); the show's hook
// still sees them.
TEST_F(EdgeShowInputTest, AKeyOverAPageEndsTheShow)
{
    EdgeShow show;
    ASSERT_TRUE(show.start(ShowConfig{}));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    KeyCatcher catcher;
    ASSERT_EQ(catcher.window, GetForegroundWindow());
    ASSERT_TRUE(show.running());
    const bool ended = endsWhileSending(show, [&] {
        pressKey('Q');
        catcher.pump();
    });
    catcher.pump();
    ASSERT_TRUE(ended);
    EXPECT_EQ(0u, show.exitCode());
    EXPECT_GT(KeyCatcher::keysSeen, 0) << "the key went to the show's own window";
}

// The pointer's moves over a page go to the page's window, on a thread of the runtime's:
// only the show's hook sees them.
TEST_F(EdgeShowInputTest, APointerMoveOverAPageEndsTheShow)
{
    EdgeShow show;
    ShowConfig config;
    config.exitConditions = {"mouse_move"};
    ASSERT_TRUE(show.start(config));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    ASSERT_TRUE(show.running());
    ASSERT_TRUE(endsOn(show, Input::MouseMove));
    EXPECT_EQ(0u, show.exitCode());
}

// A click on the page never reaches it: the hook takes it and ends the show.
TEST_F(EdgeShowInputTest, AClickOnAPageEndsTheShow)
{
    EdgeShow show;
    ShowConfig config;
    config.exitConditions = {"mouse_button"};
    ASSERT_TRUE(show.start(config));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    sendMoveTo(300, 300);
    ASSERT_FALSE(show.waitForEnd(200)) << "ended on a pointer move";
    ASSERT_TRUE(endsWhileSending(show, [] {
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, inputs, sizeof(INPUT));
    }));
    EXPECT_EQ(0u, show.exitCode());
}

// The hook reads the show's own exit conditions: with Esc alone configured, other keys
// leave the show running.
TEST_F(EdgeShowInputTest, OverAPageOnlyEscEndsAnEscOnlyShow)
{
    EdgeShow show;
    ShowConfig config;
    config.exitConditions = {"esc_key"};
    ASSERT_TRUE(show.start(config));
    ASSERT_TRUE(show.waitForJournal(showsAView));
    KeyCatcher catcher;
    for (int round = 0; round < 5; ++round) {
        pressKey('Q');
        catcher.pump();
        ASSERT_FALSE(show.waitForEnd(100)) << "ended on another key";
    }
    const bool ended = endsWhileSending(show, [&] {
        pressKey(VK_ESCAPE);
        catcher.pump();
    });
    catcher.pump();
    ASSERT_TRUE(ended);
    EXPECT_EQ(0u, show.exitCode());
}

TEST_F(EdgeShowInputTest, WithoutTheRuntimeAKeyEndsTheShow)
{
    EdgeShow show("", false);
    ASSERT_TRUE(show.start(ShowConfig{}));
    HWND dialog = show.waitForDialog();
    ASSERT_NE(nullptr, dialog);
    SetForegroundWindow(dialog);
    ASSERT_TRUE(show.running());
    ASSERT_TRUE(endsOn(show, Input::Key));
    EXPECT_EQ(0u, show.exitCode());
    EXPECT_TRUE(show.journal().empty());
}

struct LoadingCase {
    const char* name;
    std::string knobs;
    std::string address;
    // The call after which the show waits for a report that never comes.
    const char* stuckAfter;
    Input input;
};

void PrintTo(const LoadingCase& c, std::ostream* out)
{
    *out << c.name;
}

class EdgeShowLoadingTest : public EdgeShowInputTest, public testing::WithParamInterface<LoadingCase> {};

// A show the Windows way (no test run, so the pointer counts from the start) that stays at
// its loading screen, without hooks, still ends on the configured input.
TEST_P(EdgeShowLoadingTest, TheLoadingScreenEndsOnInput)
{
    const LoadingCase& c = GetParam();
    EdgeShow show(c.knobs);
    ShowConfig config;
    config.addresses = {c.address};
    config.exitConditions = {"keyboard_button", "mouse_move"};
    ASSERT_TRUE(show.start(config, ShowStart::SelfContained));
    ASSERT_TRUE(show.waitForJournal([&](const Journal& j) { return findCall(j, 0, c.stuckAfter) >= 0; }));
    HWND dialog = show.waitForDialog();
    ASSERT_NE(nullptr, dialog);
    SetForegroundWindow(dialog);
    ASSERT_TRUE(show.running());
    ASSERT_TRUE(endsOn(show, c.input));
    EXPECT_EQ(0u, show.exitCode());
    EXPECT_FALSE(showsAView(show.journal()));
}

INSTANTIATE_TEST_SUITE_P(
    Stuck, EdgeShowLoadingTest,
    testing::Values(LoadingCase{"ControllerStepWithoutReportKey", FAILURE_KNOB, "https://a.example/",
                                "get_CoreWebView2", Input::Key},
                    LoadingCase{"ControllerStepWithoutReportMouseMove", FAILURE_KNOB, "https://a.example/",
                                "get_CoreWebView2", Input::MouseMove},
                    LoadingCase{"EmptyFirstAddressKey", "", "", "Navigate", Input::Key},
                    LoadingCase{"EmptyFirstAddressMouseMove", "", "", "Navigate", Input::MouseMove}),
    [](const testing::TestParamInfo<LoadingCase>& info) { return std::string(info.param.name); });

} // namespace
