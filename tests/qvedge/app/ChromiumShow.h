#pragma once
// A test run of a copy of qvedge.scr on the WebView2 road with the Chromium-backed runtime
// beside it, its addresses on the page server, ended by a key.
#include "tests/qvedge/support/ProgramRun.h"
#include "tests/qvedge/support/ProgramWorkspace.h"
#include "tests/webview2/chromium/ChromiumSession.h"

#include <memory>
#include <string>
#include <vector>

class ChromiumShow {
public:
    // `pages` are page-server paths; QV_BROWSER names the real browser for the run.
    ChromiumShow(const std::string& fileName, const std::vector<std::string>& pages);
    ~ChromiumShow();
    ChromiumShow(const ChromiumShow&) = delete;
    ChromiumShow& operator=(const ChromiumShow&) = delete;

    // True once a page's content window is shown.
    bool waitForContent();
    bool waitForEnd();
    // Asks the show's dialog to close; true when the program then ends.
    bool close();
    // The browser's user-data folder: the temp folder and the copy's file name.
    std::wstring userDataFolder() const;

private:
    ProgramWorkspace workspace;
    std::string fileName;
    std::string copy;

public:
    CleanRun run;
};
