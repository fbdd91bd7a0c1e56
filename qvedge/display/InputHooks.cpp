#include "qvedge/display/InputHooks.h"

#include "common/Logger.h"

#include <cstdlib>

OwnedHook keyboardHook;
OwnedHook mouseHook;
HWND hookTargetWindow = nullptr;
HINSTANCE hookInstance = nullptr;
POINT mouseStartPoint = {0, 0};
const int* hookExitConditions = nullptr;

static int exitConditions()
{
    return hookExitConditions ? *hookExitConditions : 0;
}

static void postQuit()
{
    PostMessageA(hookTargetWindow, WM_KbdMouseQuit, 0, 0);
}

static bool isKeyMessage(WPARAM message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

// Presses and releases both count; no key is ever swallowed.
LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data)
{
    int bits = exitConditions();
    bool escAllowed = bits & (EXIT_KEYBOARD | EXIT_ESC_KEY);
    bool keysAllowed = bits & EXIT_KEYBOARD;
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (key && isKeyMessage(message)) {
        if (key->vkCode == VK_ESCAPE) {
            if (escAllowed) {
                QVLOG("KeyboardProc() VK_ESCAPE");
                postQuit();
            } else {
                QVLOG("KeyboardProc() VK_ESCAPE ignored");
            }
        } else if (keysAllowed) {
            QVLOG("KeyboardProc()");
            postQuit();
        } else {
            QVLOG("KeyboardProc() - ignored");
        }
    }
    return CallNextHookEx(keyboardHook.Get(), code, message, data);
}

// Only the horizontal distance from the first movement counts.
static void watchMouseMove(POINT point, bool moveEnds)
{
    if (mouseStartPoint.x == 0 && mouseStartPoint.y == 0)
        mouseStartPoint = point;
    else if (moveEnds && std::labs(point.x - mouseStartPoint.x) > MOUSE_QUIT_DISTANCE)
        postQuit();
}

// Right and middle clicks never reach the pages; left clicks only when buttons end the show.
LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data)
{
    int bits = exitConditions();
    bool buttonsEnd = bits & EXIT_MOUSE_BUTTON;
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    switch (message) {
    case WM_MOUSEMOVE:
        if (mouse)
            watchMouseMove(mouse->pt, bits & EXIT_MOUSE_MOVE);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        if (buttonsEnd) {
            postQuit();
            return 1;
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (code >= 0)
            return 1;
        break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (buttonsEnd) {
            postQuit();
            return 1;
        }
        if (code >= 0)
            return 1;
        break;
    }
    return CallNextHookEx(mouseHook.Get(), code, message, data);
}

BOOL installKbdHook(HINSTANCE module)
{
    keyboardHook.Reset(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, module, 0));
    return TRUE;
}

BOOL installMouseHook(HINSTANCE)
{
    mouseHook.Reset(SetWindowsHookExA(WH_MOUSE_LL, MouseProc, nullptr, 0));
    return TRUE;
}

void removeInputHooks()
{
    keyboardHook.Reset();
    mouseHook.Reset();
}
