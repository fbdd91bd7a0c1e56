#pragma once
// A fixed desktop behind the monitor enumeration, for tests of the monitor layout and of
// what is built from it.
#include "framework/Win.h"
#include "qvedge/display/MonitorLayout.h"

#include <utility>
#include <vector>

struct FakeMonitor {
    RECT rect;
    bool primary;
    bool infoReadable = true;
};

// Puts the monitors, in the system's enumeration order, behind monitorApi for its lifetime.
class FakeDesktop {
public:
    explicit FakeDesktop(std::vector<FakeMonitor> monitors) : monitors(std::move(monitors))
    {
        current = this;
        saved = monitorApi;
        monitorApi = {enumDisplayMonitors, getMonitorInfo};
    }
    ~FakeDesktop()
    {
        monitorApi = saved;
        current = nullptr;
    }
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    int enumerations = 0;
    bool unexpectedArguments = false;

private:
    static BOOL WINAPI enumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC proc, LPARAM data)
    {
        ++current->enumerations;
        if (dc || clip)
            current->unexpectedArguments = true;
        for (size_t i = 0; i < current->monitors.size(); ++i) {
            RECT rect = current->monitors[i].rect;
            if (!proc(handleOf(i), nullptr, &rect, data))
                break;
        }
        return TRUE;
    }

    static BOOL WINAPI getMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
    {
        size_t i = reinterpret_cast<size_t>(monitor) - 1;
        if (info->cbSize != 40)
            current->unexpectedArguments = true;
        if (i >= current->monitors.size() || !current->monitors[i].infoReadable)
            return FALSE;
        info->rcMonitor = info->rcWork = current->monitors[i].rect;
        info->dwFlags = current->monitors[i].primary ? MONITORINFOF_PRIMARY : 0;
        return TRUE;
    }

    static HMONITOR handleOf(size_t i) { return reinterpret_cast<HMONITOR>(i + 1); }

    inline static FakeDesktop* current = nullptr;
    std::vector<FakeMonitor> monitors;
    MonitorApi saved = {};
};
