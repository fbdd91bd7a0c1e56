#pragma once
// The exported low-level keyboard and mouse hooks. WebView2's windows take the input away
// from the dialog's message loop, so these watch it system-wide and end the show by posting
// WM_KbdMouseQuit to hookTargetWindow. They run on the installing (user-interface) thread.
#include "framework/Unique.h"
#include "framework/Win.h"
#include "qvedge/config/QuorvelConf.h"

// Posted (no parameters) to hookTargetWindow when input ends the show.
constexpr UINT WM_KbdMouseQuit = WM_USER + 103;

// Mouse movement ends the show only beyond this distance, in pixels: the hooks measure
// it horizontally, the dialog's pre-translation horizontally and vertically.
constexpr LONG MOUSE_QUIT_DISTANCE = 5;

struct HookTraits {
    using Handle = HHOOK;
    static Handle Empty() { return nullptr; }
    static void Close(Handle hook) { UnhookWindowsHookEx(hook); }
};
using OwnedHook = Unique<HookTraits>;

// The installed hooks, passed on to CallNextHookEx; an install replaces (and so removes)
// the hook it finds.
extern OwnedHook keyboardHook;
extern OwnedHook mouseHook;
extern HWND hookTargetWindow;
extern HINSTANCE hookInstance;
// Where the first mouse movement was seen; (0, 0) until then.
extern POINT mouseStartPoint;
// The configuration's exit-condition bits, read afresh on every call; none while null.
extern const int* hookExitConditions;

extern "C" {
LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data);
LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data);
// Both install a global hook (thread 0) and return TRUE whatever the outcome.
BOOL installKbdHook(HINSTANCE module);
BOOL installMouseHook(HINSTANCE module);
}

// Removes the keyboard hook, then the mouse hook; a hook that was never installed is skipped.
void removeInputHooks();
