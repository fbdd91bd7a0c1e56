#pragma once
// Runs a program, qvedge.scr by default, as its own Wine process.
#include "framework/Win.h"

#include <string>

// A Unix path as Wine sees it: the root is drive Z:.
std::string windowsPath(const std::string& unixPath);
// The built qvedge.scr.
std::string programPath();

// The first visible top-level window of the process that match accepts (every one without
// a match); null when there is none.
HWND findShownWindow(DWORD processId, bool (*match)(HWND window) = nullptr);

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

// Waits for the program's end while it pumps this thread's messages: a preview child sends
// its parent, a window of this thread, messages. True when the program ended within the
// limit; shown, when given, is set once the program shows a window.
bool waitPumping(const Program& program, DWORD limitMs, bool* shown = nullptr);
