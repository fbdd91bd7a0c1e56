#pragma once
// The error box as a test sees it from outside: found among the top-level windows of
// its process, read through its controls, closed with its OK button.
#include "framework/Win.h"

#include <string>
#include <vector>

// The shown task dialog titled "Error!" of that process; null when none appears within
// the limit (looked for once with a limit of 0).
HWND waitForErrorBox(DWORD processId, DWORD limitMs);
// The texts of the box's controls, in child order.
std::vector<std::string> controlTexts(HWND box);
bool showsText(HWND box, const std::string& text);
// The icon of the box's first icon control; null when it shows none.
HICON shownIcon(HWND box);
// The window's top-left corner, once it is there within the limit.
bool waitForPosition(HWND window, int x, int y, DWORD limitMs);
void clickOk(HWND box);
