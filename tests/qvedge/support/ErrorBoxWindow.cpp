#include "tests/qvedge/support/ErrorBoxWindow.h"

#include "tests/qvedge/support/ProgramRun.h"

#include <commctrl.h>

#include <algorithm>

namespace {

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool isErrorBox(HWND window)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770" && windowText(window) == "Error!";
}

BOOL CALLBACK collectText(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<std::string>*>(param)->push_back(windowText(window));
    return TRUE;
}

} // namespace

HWND waitForErrorBox(DWORD processId, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND box = findShownWindow(processId, isErrorBox);
        if (box || GetTickCount() - start >= limitMs)
            return box;
        Sleep(20);
    }
}

std::vector<std::string> controlTexts(HWND box)
{
    std::vector<std::string> texts;
    EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool showsText(HWND box, const std::string& text)
{
    const std::vector<std::string> texts = controlTexts(box);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

HICON shownIcon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

bool waitForPosition(HWND window, int x, int y, DWORD limitMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < limitMs; Sleep(20)) {
        RECT rect;
        if (GetWindowRect(window, &rect) && rect.left == x && rect.top == y)
            return true;
    }
    return false;
}

void clickOk(HWND box)
{
    SendMessageA(box, TDM_CLICK_BUTTON, IDOK, 0);
}
