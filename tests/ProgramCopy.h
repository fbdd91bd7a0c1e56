#pragma once
// A copy of the running test program under another name, removed again at the end, and
// runs of one of its cases as a process of its own.
#include "framework/Win.h"

#include <string>

class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& path) : path(path)
    {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        made = CopyFileA(self, path.c_str(), FALSE) != 0;
    }
    ~ProgramCopy() { DeleteFileA(path.c_str()); }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    // Runs the case named by `filter` in the copy, started through `startPath` (its own
    // path by default), with the environment variable set to the value for it; true when
    // the case passed.
    bool passes(const char* filter, const char* variable, const char* value,
                std::string startPath = std::string()) const
    {
        if (startPath.empty())
            startPath = path;
        std::string command = "\"" + startPath + "\" --gtest_filter=" + filter;
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        SetEnvironmentVariableA(variable, value);
        const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                            &startup, &process);
        SetEnvironmentVariableA(variable, nullptr);
        if (!started)
            return false;
        WaitForSingleObject(process.hProcess, 60000);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode == 0;
    }

    const std::string path;
    bool made = false;
};
