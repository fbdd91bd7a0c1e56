#pragma once
// The command line as the class library hands it to the application, one word at a time.
// Kept free of windows.h so the program's parser builds natively as well.

// Same type as the Win32 BOOL; repeating the typedef is allowed when both are seen.
typedef int BOOL;

class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;

    // Called once per word after the program name. flag: the word began with "/" or "-",
    // which has been removed; last: it is the final word.
    virtual void ParseParam(const char* param, BOOL flag, BOOL last) = 0;
};

// Feeds words[0..count) to info as CWinApp::ParseCommandLine does with the program's
// arguments after its name.
void parseCommandLineWords(CCommandLineInfo& info, int count, const char* const* words);
