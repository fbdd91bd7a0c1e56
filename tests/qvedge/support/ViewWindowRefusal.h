#pragma once
// Makes the system refuse the creation of the n-th view window (class "QvView") of this
// thread, counted from 1, as a parent that takes no more children would; other windows
// are made as usual. The hook goes with the object.
#include "framework/Win.h"

#include <cstring>

class ViewWindowRefusal {
public:
    explicit ViewWindowRefusal(int refused)
    {
        refusedView = refused;
        viewsSeen = 0;
        hook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    }
    ~ViewWindowRefusal() { UnhookWindowsHookEx(hook); }
    ViewWindowRefusal(const ViewWindowRefusal&) = delete;
    ViewWindowRefusal& operator=(const ViewWindowRefusal&) = delete;

    bool installed() const { return hook != nullptr; }

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char name[32] = {};
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
            if (std::strcmp(name, "QvView") == 0 && ++viewsSeen == refusedView)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline int refusedView = 0;
    static inline int viewsSeen = 0;
    HHOOK hook = nullptr;
};
