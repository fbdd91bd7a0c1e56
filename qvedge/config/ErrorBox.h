#pragma once
// The start-up's error box: a task dialog that jumps to a random place of a monitor
// whenever it has stayed put for more than 15 seconds.
#include "framework/Win.h"

#include <commctrl.h>

#include <ctime>

// The callback's reference data: the monitor the box moves on, virtual-screen
// coordinates, and the place it was moved to last.
struct ErrorBoxRecord {
    int left;
    int top;
    int right;
    int bottom;
    int x;
    int y;
};

// Seconds that must pass before the box moves again.
constexpr time_t ERROR_BOX_STAY_SECONDS = 15;
// The box size the random place keeps inside the monitor.
constexpr int ERROR_BOX_PLACE_WIDTH = 300;
constexpr int ERROR_BOX_PLACE_HEIGHT = 100;
// comctl32 exports TaskDialogIndirect by this ordinal.
constexpr WORD TASK_DIALOG_INDIRECT_ORDINAL = 345;
// Fixed UTF-16 buffers of the title and the message, terminator included; longer
// messages are cut.
constexpr size_t ERROR_BOX_TITLE_LENGTH = 16;
constexpr size_t ERROR_BOX_MESSAGE_LENGTH = 1024;

// The seconds clock of the moves; tests put their own in its place.
extern time_t (*errorBoxClock)();

// The time of the last move, taken at the callback's first call in the process.
struct ErrorBoxMoves {
    bool started = false;
    time_t lastMove = 0;
};
extern ErrorBoxMoves errorBoxMoves;

HRESULT CALLBACK ErrorBoxProc(HWND hwnd, UINT notification, WPARAM wParam, LPARAM lParam, LONG_PTR refData);

// Shows the modal box and returns when it has been closed: TaskDialogIndirect's result,
// E_NOINTERFACE when comctl32 has no task dialog.
HRESULT showErrorBox(const char* message, const RECT& monitor);
