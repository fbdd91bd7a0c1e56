#pragma once
// Runs a program, qvedge.scr by default, as its own Wine process.
#include "Win.h"

#include <string>

// A Unix path as Wine sees it: the root is drive Z:.
std::string windowsPath(const std::string& unixPath);
// The built qvedge.scr.
std::string programPath();

class Program {
public:
    explicit Program(const std::string& arguments, const std::string& path = programPath());
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD exitCode() const;
    // True when the process ended within the limit.
    bool waitForEnd(DWORD limitMs) const;

    bool started = false;
    PROCESS_INFORMATION info{};
};
