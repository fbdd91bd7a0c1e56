#pragma once

// The configuration record, as far as the start-up writes it.
class CQuorvelConf {
public:
    int exitConditions = 0;
    int multiMonitorMode = 0;
    int timeOut = 0;
    bool testMode = false;
};
