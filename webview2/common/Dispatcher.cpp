#include "webview2/common/Dispatcher.h"

#include "webview2/common/ComObject.h"

namespace {

constexpr UINT WM_PROVIDER_TASK = WM_APP + 1;
constexpr const wchar_t* DISPATCHER_CLASS = L"QuorvelRuntimeDispatcher";

using Task = std::function<void()>;

void run(Task* task)
{
    (*task)();
    delete task;
}

LRESULT CALLBACK dispatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROVIDER_TASK) {
        auto* task = reinterpret_cast<Task*>(lParam);
        // A delayed task waits on a timer whose id is the task itself.
        if (wParam == 0 || !SetTimer(window, reinterpret_cast<UINT_PTR>(task), static_cast<UINT>(wParam), nullptr))
            run(task);
        return 0;
    }
    if (message == WM_TIMER) {
        KillTimer(window, wParam);
        run(reinterpret_cast<Task*>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

namespace dispatcher {

HWND current()
{
    thread_local HWND window = nullptr;
    if (window && IsWindow(window))
        return window;
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = dispatcherProc;
        windowClass.hInstance = providerModule();
        windowClass.lpszClassName = DISPATCHER_CLASS;
        return RegisterClassW(&windowClass);
    }();
    if (!atom)
        return nullptr;
    window = CreateWindowExW(0, DISPATCHER_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, providerModule(), nullptr);
    return window;
}

bool post(HWND window, unsigned delayMs, std::function<void()> task)
{
    auto* owned = new Task(std::move(task));
    if (window && PostMessageW(window, WM_PROVIDER_TASK, delayMs, reinterpret_cast<LPARAM>(owned)))
        return true;
    delete owned;
    return false;
}

} // namespace dispatcher
