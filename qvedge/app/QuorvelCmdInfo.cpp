#include "qvedge/app/QuorvelCmdInfo.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool isWord(const char* param, const char* word)
{
    return CString(param).CompareNoCase(word) == 0;
}

} // namespace

void CQuorvelCmdInfo::ParseParam(const char* param, BOOL flag, BOOL)
{
    if (flag)
        ParseFlag(param);
    else
        ParseValue(param);
}

void CQuorvelCmdInfo::ParseFlag(const char* word)
{
    noWords = false;
    if (isWord(word, "config")) {
        configPathGiven = true;
        expectConfigPath = true;
    } else if (isWord(word, "c") || std::strstr(word, "c:")) {
        configure = true;
    } else if (isWord(word, "p")) {
        preview = true;
        expectPreviewWnd = true;
    } else if (isWord(word, "s")) {
        screensaver = true;
    } else if (isWord(word, "m")) {
        expectMonitorMode = true;
    } else if (isWord(word, "ie")) {
        forceIE = true;
    } else if (isWord(word, "sstest")) {
        ssTest = true;
    } else if (isWord(word, "engine")) {
        engine = true;
    }
}

void CQuorvelCmdInfo::ParseValue(const char* value)
{
    if (expectConfigPath) {
        expectConfigPath = false;
        configPath.Format("%s", value);
    } else if (expectPreviewWnd) {
        expectPreviewWnd = false;
        // Windows passes the preview window's handle in decimal.
        previewParent = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::atoi(value)));
    } else if (expectMonitorMode) {
        expectMonitorMode = false;
        monitorModeGiven = true;
        const int mode = std::atoi(value);
        monitorMode = mode == 2 || mode == 4 ? mode : 1;
    }
}
