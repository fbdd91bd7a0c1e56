#pragma once
// Records the timers the screensaver dialog starts, and starts them as the system does.
#include "framework/Win.h"
#include "qvedge/display/QuorvelDlg.h"

#include <utility>
#include <vector>

class TimerRecorder {
public:
    TimerRecorder() : saved(dialogSetTimer)
    {
        current = this;
        dialogSetTimer = record;
    }
    ~TimerRecorder()
    {
        dialogSetTimer = saved;
        current = nullptr;
    }
    TimerRecorder(const TimerRecorder&) = delete;
    TimerRecorder& operator=(const TimerRecorder&) = delete;

    // The period of the timer's last start; 0 when it was never started.
    UINT periodOf(UINT_PTR id) const
    {
        UINT period = 0;
        for (const auto& start : starts) {
            if (start.first == id)
                period = start.second;
        }
        return period;
    }

    // Timer id and period, in the order asked for.
    std::vector<std::pair<UINT_PTR, UINT>> starts;

private:
    static UINT_PTR WINAPI record(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC proc)
    {
        current->starts.emplace_back(id, periodMs);
        return SetTimer(window, id, periodMs, proc);
    }

    static inline TimerRecorder* current = nullptr;
    UINT_PTR(WINAPI* saved)(HWND, UINT_PTR, UINT, TIMERPROC);
};
