#pragma once
#include "qvedge/app/QuorvelCmdInfo.h"

// What each screensaver mode does, apart from the choice among them.
class StartModes {
public:
    virtual ~StartModes() = default;
    // 0 when the About dialog was shown, which ends the start-up.
    virtual int configure() = 0;
    virtual BOOL preview() = 0;
    virtual BOOL show() = 0;
};

// The mode dispatch of the start-up, first matching row: configure (also with no flag
// word), preview, show (also the test run), nothing. Returns InitInstance's result.
BOOL dispatchMode(const CQuorvelCmdInfo& cmdInfo, StartModes& modes);
