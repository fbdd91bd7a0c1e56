#include "qvedge/display/MonitorLayout.h"

#include <algorithm>

MonitorApi monitorApi = {EnumDisplayMonitors, GetMonitorInfoA};

BOOL CALLBACK monitorEnumProc(HMONITOR monitor, HDC, LPRECT monitorRect, LPARAM data)
{
    auto& context = *reinterpret_cast<MonitorEnumContext*>(data);
    SetRect(&context.monitorRect, monitorRect->left, monitorRect->top, monitorRect->right,
            monitorRect->bottom);
    MONITORINFO info = {sizeof info};
    // A monitor whose information cannot be read counts as not primary.
    bool primary = monitorApi.getMonitorInfo(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
    ++context.count;
    if (primary && context.primaryFlag)
        return FALSE;
    return context.count == context.stopAt ? FALSE : TRUE;
}

MonitorEnumContext enumerateMonitors(int stopAt, int primaryFlag)
{
    MonitorEnumContext context = {{0, 0, 0, 0}, 0, stopAt, primaryFlag};
    monitorApi.enumDisplayMonitors(nullptr, nullptr, monitorEnumProc,
                                   reinterpret_cast<LPARAM>(&context));
    return context;
}

int countMonitors()
{
    return enumerateMonitors(-1, 0).count;
}

int primaryMonitorPosition()
{
    return enumerateMonitors(-1, 1).count;
}

bool compareMonitorLeft(const MonitorRecord& a, const MonitorRecord& b)
{
    return a.rect.left < b.rect.left;
}

bool compareMonitorTop(const MonitorRecord& a, const MonitorRecord& b)
{
    return a.rect.top < b.rect.top;
}

bool compareMonitorIndex(const MonitorRecord& a, const MonitorRecord& b)
{
    return a.index < b.index;
}

void MonitorLayout::Build()
{
    monitorCount = countMonitors();
    primaryPosition = primaryMonitorPosition();
    primaryRect = enumerateMonitors(primaryPosition, 0).monitorRect;
    for (int i = 0; i < monitorCount; ++i) {
        // stopAt 0 never stops, so record 0 gets the last monitor.
        RECT r = enumerateMonitors(i, 0).monitorRect;
        rects.push_back(r);
        records.push_back({r, i});
        RECT grown;
        UnionRect(&grown, &bounds, &r);
        bounds = grown;
    }
    Normalise();
}

static void offsetRecords(std::vector<MonitorRecord>& records, int dx, int dy)
{
    for (MonitorRecord& record : records)
        OffsetRect(&record.rect, dx, dy);
}

void MonitorLayout::Normalise()
{
    if (records.empty())
        return;
    std::sort(records.begin(), records.end(), compareMonitorLeft);
    if (records.front().rect.left < 0)
        offsetRecords(records, -records.front().rect.left, 0);
    std::sort(records.begin(), records.end(), compareMonitorTop);
    if (records.front().rect.top < 0)
        offsetRecords(records, 0, -records.front().rect.top);
    std::sort(records.begin(), records.end(), compareMonitorIndex);
}
