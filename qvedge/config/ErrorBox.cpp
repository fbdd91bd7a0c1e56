#include "qvedge/config/ErrorBox.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr char ERROR_BOX_TITLE[] = "Error!";
// The scale of rand() in the placement: its largest value.
constexpr std::int64_t RANDOM_SCALE = 32767;

using TaskDialogIndirectProc = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

time_t systemClock()
{
    return std::time(nullptr);
}

// A random share of the range, truncated toward zero; a negative range gives a place
// before the monitor's edge. The product is formed in 64 bits, which equals the 32-bit
// result for every monitor width and height below 65536.
int randomShare(int range)
{
    return static_cast<int>(std::rand() * static_cast<std::int64_t>(range) / RANDOM_SCALE);
}

TaskDialogIndirectProc taskDialogIndirect()
{
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (!comctl)
        comctl = LoadLibraryA("comctl32.dll");
    if (!comctl)
        return nullptr;
    return reinterpret_cast<TaskDialogIndirectProc>(
        GetProcAddress(comctl, MAKEINTRESOURCEA(TASK_DIALOG_INDIRECT_ORDINAL)));
}

} // namespace

time_t (*errorBoxClock)() = systemClock;
ErrorBoxMoves errorBoxMoves;

HRESULT CALLBACK ErrorBoxProc(HWND hwnd, UINT notification, WPARAM, LPARAM, LONG_PTR refData)
{
    time_t& lastMove = errorBoxMoves.lastMove;
    if (!errorBoxMoves.started) {
        errorBoxMoves.started = true;
        lastMove = errorBoxClock();
    }
    const time_t now = errorBoxClock();
    if (notification != TDN_TIMER)
        return S_OK;
    const time_t stayed = now - lastMove;
    if (stayed < 0 || stayed <= ERROR_BOX_STAY_SECONDS)
        return S_OK;
    auto* record = reinterpret_cast<ErrorBoxRecord*>(refData);
    if (!record)
        return S_OK;

    lastMove = now;
    record->x = record->left + randomShare(record->right - record->left - ERROR_BOX_PLACE_WIDTH);
    record->y = record->top + randomShare(record->bottom - record->top - ERROR_BOX_PLACE_HEIGHT);
    RECT box;
    GetWindowRect(hwnd, &box);
    MoveWindow(hwnd, record->x, record->y, box.right - box.left, box.bottom - box.top, TRUE);
    return S_FALSE;
}

HRESULT showErrorBox(const char* message, const RECT& monitor)
{
    const TaskDialogIndirectProc show = taskDialogIndirect();
    if (!show)
        return E_NOINTERFACE;

    wchar_t title[ERROR_BOX_TITLE_LENGTH] = {};
    wchar_t content[ERROR_BOX_MESSAGE_LENGTH] = {};
    size_t converted = 0;
    mbstowcs_s(&converted, title, ERROR_BOX_TITLE_LENGTH, ERROR_BOX_TITLE, _TRUNCATE);
    mbstowcs_s(&converted, content, ERROR_BOX_MESSAGE_LENGTH, message ? message : "", _TRUNCATE);

    ErrorBoxRecord record = {monitor.left, monitor.top, monitor.right, monitor.bottom, 0, 0};
    static_assert(sizeof(void*) != 4 || sizeof(TASKDIALOGCONFIG) == 96,
                  "the 32-bit task dialog reads a packed 96-byte configuration");
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.dwFlags = TDF_CALLBACK_TIMER;
    config.pszWindowTitle = title;
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = content;
    config.pfCallback = ErrorBoxProc;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&record);
    int button = 0;
    return show(&config, &button, nullptr, nullptr);
}
