#include "qvedge/display/InputHooks.h"

#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/SystemInputTurn.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// Counts what reaches the window the hooks post to, and what the rest of the hook chain sees.
struct Observed {
    int quits = 0;
    int quitsWithParameters = 0;
    std::vector<WPARAM> keysPassedOn;
    std::vector<WPARAM> mousePassedOn;
    std::vector<UINT> pageMessages;
};
Observed observed;

LRESULT CALLBACK targetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KbdMouseQuit) {
        ++observed.quits;
        if (wParam || lParam)
            ++observed.quitsWithParameters;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP)
        observed.pageMessages.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Installed before the program's hooks, so it runs only when they pass the event on.
LRESULT CALLBACK keyboardWitness(int code, WPARAM message, LPARAM data)
{
    observed.keysPassedOn.push_back(message);
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK mouseWitness(int code, WPARAM message, LPARAM data)
{
    if (message != WM_MOUSEMOVE)
        observed.mousePassedOn.push_back(message);
    return CallNextHookEx(nullptr, code, message, data);
}

void sendMouse(DWORD flags, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
}

// Absolute coordinates of the 1920x1080 screen, rounded up so that they map back exactly.
void sendMoveTo(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + 1919) / 1920;
    input.mi.dy = (y * 65536 + 1079) / 1080;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// A new window takes a moment to be mapped before it receives input.
template <typename Condition>
bool pumpUntil(Condition done)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(5)) {
        pumpMessages();
        if (done())
            return true;
    }
    return false;
}

class InputHooksTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Low-level hooks see the input of every process on the desktop: tests that send
        // input take turns, and what they pass on lands on a window of their own.
        inputTurn = CreateMutexA(nullptr, FALSE, "QuorvelSystemInput");
        ASSERT_NE(nullptr, inputTurn);
        ASSERT_NE(WAIT_TIMEOUT, WaitForSingleObject(inputTurn, 60000));
        observed = Observed();
        page = createWindow("Page", pageProc, WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, 1920, 1080, nullptr);
        target = createWindow("QuitTarget", targetProc, 0, 0, 0, 0, HWND_MESSAGE);
        ASSERT_NE(nullptr, page);
        ASSERT_NE(nullptr, target);
        hookTargetWindow = target;
        hookExitConditions = &bits;
        keyboardWitnessHook = SetWindowsHookExA(WH_KEYBOARD_LL, keyboardWitness, nullptr, 0);
        mouseWitnessHook = SetWindowsHookExA(WH_MOUSE_LL, mouseWitness, nullptr, 0);
        ASSERT_NE(nullptr, keyboardWitnessHook);
        ASSERT_NE(nullptr, mouseWitnessHook);
    }

    void TearDown() override
    {
        removeInputHooks();
        UnhookWindowsHookEx(keyboardWitnessHook);
        UnhookWindowsHookEx(mouseWitnessHook);
        hookTargetWindow = nullptr;
        hookExitConditions = nullptr;
        DestroyWindow(target);
        DestroyWindow(page);
        if (inputTurn) {
            ReleaseMutex(inputTurn);
            CloseHandle(inputTurn);
        }
    }

    static HWND createWindow(const char* className, WNDPROC procedure, DWORD exStyle, DWORD style,
                             int width, int height, HWND parent)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        return CreateWindowExA(exStyle, className, "", style, 0, 0, width, height, parent, nullptr,
                               windowClass.hInstance, nullptr);
    }

    void installBoth()
    {
        EXPECT_TRUE(installKbdHook(GetModuleHandleA(nullptr)));
        EXPECT_TRUE(installMouseHook(nullptr));
        ASSERT_NE(nullptr, keyboardHook.Get());
        ASSERT_NE(nullptr, mouseHook.Get());
    }

    // The X server reports the pointer back where it really is; put it at the start first so
    // that those reports do not count as movements.
    void placePointer(int x, int y)
    {
        SetCursorPos(x, y);
        pumpMessages();
    }

    int quitsPosted()
    {
        pumpMessages();
        EXPECT_EQ(0, observed.quitsWithParameters);
        return observed.quits;
    }

    int bits = 0;
    HANDLE inputTurn = nullptr;
    HWND page = nullptr;
    HWND target = nullptr;
    HHOOK keyboardWitnessHook = nullptr;
    HHOOK mouseWitnessHook = nullptr;
};

struct KeyCase {
    std::string name;
    int bits;
    WORD vk;
    int quits;  // for one press and its release
};

void PrintTo(const KeyCase& c, std::ostream* out)
{
    *out << c.name;
}

class KeyboardHookTest : public InputHooksTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeyboardHookTest, PostsOnPressAndReleaseAndPassesEveryKeyOn)
{
    installBoth();
    bits = GetParam().bits;
    sendKey(GetParam().vk, false);
    sendKey(GetParam().vk, true);
    EXPECT_EQ(GetParam().quits, quitsPosted());
    EXPECT_EQ((std::vector<WPARAM>{WM_KEYDOWN, WM_KEYUP}), observed.keysPassedOn);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyboardHookTest,
    testing::Values(KeyCase{"EscWithEscBit", EXIT_ESC_KEY, VK_ESCAPE, 2},
                    KeyCase{"OtherKeyWithEscBitIgnored", EXIT_ESC_KEY, 'A', 0},
                    KeyCase{"EscWithKeyboardBit", EXIT_KEYBOARD, VK_ESCAPE, 2},
                    KeyCase{"OtherKeyWithKeyboardBit", EXIT_KEYBOARD, 'A', 2},
                    KeyCase{"EscWithBothBits", EXIT_KEYBOARD | EXIT_ESC_KEY, VK_ESCAPE, 2},
                    KeyCase{"OtherKeyWithBothBits", EXIT_KEYBOARD | EXIT_ESC_KEY, VK_SPACE, 2},
                    KeyCase{"EscWithMouseBitsIgnored", EXIT_MOUSE_MOVE | EXIT_MOUSE_BUTTON, VK_ESCAPE, 0}),
    [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

// Keys pressed with Alt arrive as system keys; they count like any other.
TEST_F(InputHooksTest, SystemKeyMessagesCountAndOtherMessagesDoNot)
{
    bits = EXIT_KEYBOARD;
    KBDLLHOOKSTRUCT key = {};
    key.vkCode = 'A';
    for (WPARAM message : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP})
        KeyboardProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&key));
    KeyboardProc(HC_ACTION, WM_CHAR, reinterpret_cast<LPARAM>(&key));
    EXPECT_EQ(4, quitsPosted());
}

// One record per press and per release, whether or not it ends the show.
TEST_F(InputHooksTest, KeyboardProcLogsEachKeyMessage)
{
    struct LogCase {
        int bits;
        DWORD vk;
        const char* record;
    };
    const LogCase cases[] = {
        {EXIT_ESC_KEY, VK_ESCAPE, "KeyboardProc() VK_ESCAPE"},
        {EXIT_MOUSE_MOVE, VK_ESCAPE, "KeyboardProc() VK_ESCAPE ignored"},
        {EXIT_KEYBOARD, 'A', "KeyboardProc()"},
        {EXIT_ESC_KEY, 'A', "KeyboardProc() - ignored"},
    };
    for (const LogCase& c : cases) {
        LogCapture log;
        bits = c.bits;
        KBDLLHOOKSTRUCT key = {};
        key.vkCode = c.vk;
        KeyboardProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
        KeyboardProc(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&key));
        KeyboardProc(HC_ACTION, WM_CHAR, reinterpret_cast<LPARAM>(&key));
        const std::string record = std::string("InputHooks.cpp\tKeyboardProc\t") + c.record;
        EXPECT_EQ((std::vector<std::string>{record, record}), log.records()) << c.record;
    }
}

struct ButtonCase {
    std::string name;
    int bits;
    DWORD down;
    DWORD up;
    int quits;
    std::vector<WPARAM> passedOn;
};

void PrintTo(const ButtonCase& c, std::ostream* out)
{
    *out << c.name;
}

class MouseButtonHookTest : public InputHooksTest, public testing::WithParamInterface<ButtonCase> {};

TEST_P(MouseButtonHookTest, SwallowsAndPostsByTheRules)
{
    installBoth();
    bits = GetParam().bits;
    sendMouse(GetParam().down, GetParam().down == MOUSEEVENTF_XDOWN ? XBUTTON1 : 0);
    sendMouse(GetParam().up, GetParam().up == MOUSEEVENTF_XUP ? XBUTTON1 : 0);
    EXPECT_EQ(GetParam().quits, quitsPosted());
    EXPECT_EQ(GetParam().passedOn, observed.mousePassedOn);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseButtonHookTest,
    testing::Values(
        ButtonCase{"LeftWithButtonBitSwallowedAndPostsTwice", EXIT_MOUSE_BUTTON,
                   MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2, {}},
        ButtonCase{"RightWithButtonBitSwallowedAndPostsOnRelease", EXIT_MOUSE_BUTTON,
                   MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1, {}},
        ButtonCase{"MiddleWithButtonBitSwallowedAndPostsOnRelease", EXIT_MOUSE_BUTTON,
                   MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1, {}},
        ButtonCase{"LeftWithoutButtonBitPasses", EXIT_MOUSE_MOVE, MOUSEEVENTF_LEFTDOWN,
                   MOUSEEVENTF_LEFTUP, 0, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        ButtonCase{"RightWithoutButtonBitSwallowed", EXIT_MOUSE_MOVE, MOUSEEVENTF_RIGHTDOWN,
                   MOUSEEVENTF_RIGHTUP, 0, {}},
        ButtonCase{"MiddleWithoutButtonBitSwallowed", EXIT_MOUSE_MOVE, MOUSEEVENTF_MIDDLEDOWN,
                   MOUSEEVENTF_MIDDLEUP, 0, {}},
        ButtonCase{"ExtraButtonPassesAndEndsNothing", EXIT_MOUSE_BUTTON, MOUSEEVENTF_XDOWN,
                   MOUSEEVENTF_XUP, 0, {WM_XBUTTONDOWN, WM_XBUTTONUP}}),
    [](const testing::TestParamInfo<ButtonCase>& info) { return info.param.name; });

TEST_F(InputHooksTest, WheelPassesAndEndsNothing)
{
    installBoth();
    bits = EXIT_MOUSE_BUTTON;
    sendMouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    EXPECT_EQ(0, quitsPosted());
    EXPECT_EQ((std::vector<WPARAM>{WM_MOUSEWHEEL}), observed.mousePassedOn);
}

struct NegativeCodeCase {
    WPARAM message;
    int bits;
    LRESULT result;  // 0 = passed on, with no hook behind
    int quits;
};

// A negative code still swallows and posts for the button bit; the plain swallowing of right
// and middle clicks applies only to codes that are not negative.
TEST_F(InputHooksTest, NegativeCodePassesOnlyTheUnconditionalSwallows)
{
    const NegativeCodeCase cases[] = {
        {WM_RBUTTONDOWN, EXIT_MOUSE_BUTTON, 0, 0}, {WM_MBUTTONDOWN, 0, 0, 0},
        {WM_RBUTTONUP, 0, 0, 0},                   {WM_RBUTTONUP, EXIT_MOUSE_BUTTON, 1, 1},
        {WM_LBUTTONDOWN, EXIT_MOUSE_BUTTON, 1, 1}, {WM_LBUTTONUP, 0, 0, 0}};
    MSLLHOOKSTRUCT mouse = {};
    for (const NegativeCodeCase& c : cases) {
        bits = c.bits;
        int before = quitsPosted();
        EXPECT_EQ(c.result, MouseProc(-1, c.message, reinterpret_cast<LPARAM>(&mouse)))
            << "message " << c.message;
        EXPECT_EQ(c.quits, quitsPosted() - before) << "message " << c.message;
    }
}

TEST_F(InputHooksTest, OnlyTheHorizontalDistanceFromTheFirstMoveCounts)
{
    placePointer(500, 300);
    installBoth();
    bits = EXIT_MOUSE_MOVE;
    sendMoveTo(500, 300);
    EXPECT_EQ(500, mouseStartPoint.x);
    EXPECT_EQ(300, mouseStartPoint.y);
    sendMoveTo(505, 900);
    EXPECT_EQ(0, quitsPosted());
    sendMoveTo(506, 300);
    EXPECT_EQ(1, quitsPosted());
    sendMoveTo(494, 300);
    EXPECT_EQ(2, quitsPosted());
}

// The start is taken by the first movement whatever the bits say, and the bits are read
// afresh on every event.
TEST_F(InputHooksTest, StartPointIsTakenOnceEvenWhileMovesEndNothing)
{
    placePointer(500, 300);
    installBoth();
    bits = EXIT_MOUSE_BUTTON;
    sendMoveTo(500, 300);
    sendMoveTo(800, 300);
    EXPECT_EQ(0, quitsPosted());
    EXPECT_EQ(500, mouseStartPoint.x);
    bits = EXIT_MOUSE_MOVE;
    sendMoveTo(503, 300);
    EXPECT_EQ(0, quitsPosted());
    sendMoveTo(800, 300);
    EXPECT_EQ(1, quitsPosted());
}

TEST_F(InputHooksTest, MoveAtTheOriginIsNotTakenAsTheStart)
{
    bits = EXIT_MOUSE_MOVE;
    MSLLHOOKSTRUCT mouse = {};
    MouseProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&mouse));
    mouse.pt = {500, 300};
    MouseProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&mouse));
    EXPECT_EQ(0, quitsPosted());
    EXPECT_EQ(500, mouseStartPoint.x);
    EXPECT_EQ(300, mouseStartPoint.y);
}

// What the hooks pass on reaches the page under the cursor; what they swallow does not.
TEST_F(InputHooksTest, LeftClicksReachThePageAndRightClicksDoNot)
{
    placePointer(500, 300);
    installBoth();
    bits = EXIT_MOUSE_MOVE;
    // The right click goes first: once the left release has arrived, it would have too.
    sendMouse(MOUSEEVENTF_RIGHTDOWN);
    sendMouse(MOUSEEVENTF_RIGHTUP);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(pumpUntil([] { return observed.pageMessages.size() >= 2; }));
    EXPECT_EQ(0, quitsPosted());
    EXPECT_EQ((std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}), observed.pageMessages);
}

// A second install replaces the hooks: the first ones are removed, so a key is seen once.
TEST_F(InputHooksTest, InstallingAgainRemovesTheHooksBefore)
{
    installBoth();
    const HHOOK firstKeyboardHook = keyboardHook.Get();
    const HHOOK firstMouseHook = mouseHook.Get();
    installBoth();
    bits = EXIT_KEYBOARD;
    sendKey('A', false);
    sendKey('A', true);
    EXPECT_EQ(2, quitsPosted());
    EXPECT_FALSE(UnhookWindowsHookEx(firstKeyboardHook));
    EXPECT_FALSE(UnhookWindowsHookEx(firstMouseHook));
}

TEST_F(InputHooksTest, RemovedHooksEndNothing)
{
    installBoth();
    bits = EXIT_KEYBOARD | EXIT_MOUSE_BUTTON;
    removeInputHooks();
    EXPECT_EQ(nullptr, keyboardHook.Get());
    EXPECT_EQ(nullptr, mouseHook.Get());
    removeInputHooks();
    sendKey(VK_ESCAPE, false);
    sendKey(VK_ESCAPE, true);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    sendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(0, quitsPosted());
    EXPECT_EQ((std::vector<WPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}), observed.mousePassedOn);
}

}  // namespace
