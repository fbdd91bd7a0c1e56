// dialog-window: finds a visible dialog window of a running program by the program's file
// name, prints its title and the texts of its controls, and closes it on request. A
// console program run under Wine by tools/run-show.sh; not part of the screensaver.
#include "framework/Win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char usage[] =
    "Usage:\n"
    "  dialog-window wait <program file name> <seconds>\n"
    "      Waits until the program shows a dialog, then prints its title and texts.\n"
    "  dialog-window close <program file name>\n"
    "      Asks the dialog to close (WM_CLOSE), as its close box does.\n"
    "Exit code 0 when a dialog was found, 1 when none, 2 on wrong usage.\n";

constexpr DWORD pollIntervalMs = 200;

struct Search {
    const char* programName;
    HWND found;
};

std::string imageFileName(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return std::string();
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    std::string name;
    if (QueryFullProcessImageNameA(process, 0, path, &size)) {
        const char* slash = std::strrchr(path, '\\');
        name = slash ? slash + 1 : path;
    }
    CloseHandle(process);
    return name;
}

BOOL CALLBACK findDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (!IsWindowVisible(window) || std::strcmp(className, "#32770") != 0)
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (lstrcmpiA(imageFileName(processId).c_str(), search->programName) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND dialogOf(const char* programName)
{
    Search search{programName, nullptr};
    EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK printText(HWND control, LPARAM)
{
    char text[512] = {};
    if (GetWindowTextA(control, text, sizeof text) > 0)
        std::printf("  %s\n", text);
    return TRUE;
}

int waitForDialog(const char* programName, int seconds)
{
    for (DWORD waited = 0; waited <= static_cast<DWORD>(seconds) * 1000; waited += pollIntervalMs) {
        if (HWND dialog = dialogOf(programName)) {
            char title[512] = {};
            GetWindowTextA(dialog, title, sizeof title);
            std::printf("Dialog \"%s\":\n", title);
            EnumChildWindows(dialog, printText, 0);
            return 0;
        }
        Sleep(pollIntervalMs);
    }
    std::printf("No dialog of %s appeared within %d s.\n", programName, seconds);
    return 1;
}

int closeDialog(const char* programName)
{
    HWND dialog = dialogOf(programName);
    if (!dialog)
        return 1;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && !std::strcmp(argv[1], "wait"))
        return waitForDialog(argv[2], std::atoi(argv[3]));
    if (argc == 3 && !std::strcmp(argv[1], "close"))
        return closeDialog(argv[2]);
    std::fputs(usage, stderr);
    return 2;
}
