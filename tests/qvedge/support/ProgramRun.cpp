#include "tests/qvedge/support/ProgramRun.h"

std::string windowsPath(const std::string& unixPath)
{
    std::string path = unixPath;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

namespace {

struct WindowSearch {
    DWORD processId;
    bool (*match)(HWND window);
    HWND found;
};

BOOL CALLBACK findShown(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && (!search->match || search->match(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND findShownWindow(DWORD processId, bool (*match)(HWND window))
{
    WindowSearch search{processId, match, nullptr};
    EnumWindows(findShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string programPath()
{
    return windowsPath(QVEDGE_SCR);
}

Program::Program(const std::string& arguments, const std::string& path)
{
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info) != 0;
}

Program::~Program()
{
    if (!started)
        return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

DWORD Program::exitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool Program::waitForEnd(DWORD limitMs) const
{
    return WaitForSingleObject(info.hProcess, limitMs) == WAIT_OBJECT_0;
}

bool waitPumping(const Program& program, DWORD limitMs, bool* shown)
{
    HANDLE process = program.info.hProcess;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        if (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (shown && findShownWindow(program.info.dwProcessId))
            *shown = true;
    }
    return false;
}
