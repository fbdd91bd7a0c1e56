#pragma once
// Runs tasks later on a UI thread, through messages posted to a hidden message window of
// that thread: never inside the call that schedules them.
#include "framework/Win.h"

#include <functional>

namespace dispatcher {

// The hidden window of the calling thread, made on first use; null when it cannot be made.
HWND current();

// Runs `task` on the window's thread after `delayMs` (0: as soon as the thread pumps).
// Any thread may post. False when the window is gone (the task is dropped).
bool post(HWND window, unsigned delayMs, std::function<void()> task);

} // namespace dispatcher
