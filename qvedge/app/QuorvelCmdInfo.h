#pragma once
// The screensaver's command-line words. Kept free of windows.h so the parser builds
// natively as well.
#include "framework/CCommandLineInfo.h"
#include "framework/CString.h"

struct HWND__;
typedef HWND__* HWND;

class CQuorvelCmdInfo : public CCommandLineInfo {
public:
    // Flag words: only "c:" is matched as a case-sensitive part of the word, the others
    // whole and case-insensitively. A flag word never clears a pending value, so the
    // value may come after later flag words.
    void ParseParam(const char* param, BOOL flag, BOOL last) override;

    bool configPathGiven = false;
    bool expectConfigPath = false;
    bool configure = false;
    bool preview = false;
    bool expectPreviewWnd = false;
    bool screensaver = false;
    bool noWords = true;
    bool forceIE = false;
    bool expectMonitorMode = false;
    bool engine = false;
    int monitorMode = 0;
    bool monitorModeGiven = false;
    bool ssTest = false;
    CString configPath;
    HWND previewParent = nullptr;

private:
    void ParseFlag(const char* word);
    void ParseValue(const char* value);
};
