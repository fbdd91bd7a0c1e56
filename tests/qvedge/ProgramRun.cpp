#include "ProgramRun.h"

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
