#pragma once
// The screensaver's picture of the desktop: the monitors in enumeration order, their
// rectangles shifted to non-negative coordinates, the primary monitor and the union.
#include "framework/Win.h"

#include <vector>

struct MonitorRecord {
    RECT rect;
    int index;  // the record's own slot, to restore the order after sorting
};

// Application data of one monitor enumeration.
struct MonitorEnumContext {
    RECT monitorRect;  // the monitor at which the enumeration stopped (the last one when it ran out)
    int count;         // monitors enumerated so far
    int stopAt;        // stop as soon as count equals it; -1 and 0 never stop
    int primaryFlag;   // when set, stop at the primary monitor
};

// The two system calls behind the enumeration; tests put a fixed desktop in their place.
struct MonitorApi {
    BOOL(WINAPI* enumDisplayMonitors)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
    BOOL(WINAPI* getMonitorInfo)(HMONITOR, LPMONITORINFO);
};
extern MonitorApi monitorApi;

BOOL CALLBACK monitorEnumProc(HMONITOR monitor, HDC, LPRECT monitorRect, LPARAM context);
// One enumeration over the whole desktop with a freshly initialised context.
MonitorEnumContext enumerateMonitors(int stopAt, int primaryFlag);
int countMonitors();
// 1-based enumeration position of the primary monitor; the monitor count when none is primary.
int primaryMonitorPosition();

bool compareMonitorLeft(const MonitorRecord& a, const MonitorRecord& b);
bool compareMonitorTop(const MonitorRecord& a, const MonitorRecord& b);
bool compareMonitorIndex(const MonitorRecord& a, const MonitorRecord& b);

class MonitorLayout {
public:
    // Record k (1 <= k < n) holds the monitor enumerated k-th, record 0 the one enumerated
    // last: the monitor at position p sits in record p mod n.
    void Build();
    // Shifts the records so that the smallest left and top are 0.
    void Normalise();

    int primaryPosition = 0;
    int monitorCount = 0;
    RECT bounds = {};       // virtual-screen coordinates, never shifted
    RECT primaryRect = {};  // virtual-screen coordinates
    std::vector<MonitorRecord> records;
    std::vector<RECT> rects;  // the records' rectangles unshifted, in record order
};
