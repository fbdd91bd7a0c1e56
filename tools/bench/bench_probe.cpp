// bench_probe: starts a program, reports the milliseconds from its start until it shows
// a visible top-level window and until that window shows its content (with --colour, until
// the middle of the screen shows that colour: the page's content; otherwise until the show's
// loading animation, control 131, is gone, at once for a program without one), the modules
// loaded in it when its window became visible, the GDI objects it holds once its content is
// shown and some seconds later; then closes that window and waits for the program's end.
// (Its processor time is read from the Linux side by tools/bench.sh: under Wine another
// process's GetProcessTimes reads 0.) Run under Wine by tools/bench.sh; not part of the
// screensaver.
//
//   bench_probe [--colour RRGGBB] <seconds until the second count> <program> [arguments...]
// prints "shown_ms=N" as soon as the content is shown (so that a caller can measure the
// program while it runs), then "module_names=A,B,..." (in load order) and
// "visible_ms=N content_ms=N gdi_first=N gdi_later=N modules=N", a line each.
#include "framework/Win.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD START_LIMIT_MS = 60000;
constexpr int LOADING_ANIMATION_ID = 131;

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchVisible(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND visibleWindowOf(DWORD processId)
{
    WindowSearch search{processId, nullptr};
    EnumWindows(matchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Wine does not count GDI objects (GetGuiResources answers 0): count the used entries of
// the process's GDI handle table instead. An entry is 24 bytes; its type field (byte 14)
// is cleared when the object is deleted, while its object field stays set.
int gdiObjectsOf(HANDLE process)
{
    using QueryProc = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProc>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess"));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    const size_t tableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;
    void* table = nullptr;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + tableOffset, &table,
                           sizeof table, nullptr) ||
        !table)
        return -1;
    constexpr size_t ENTRY = 24;
    constexpr size_t ENTRIES = 0x4000;
    std::vector<unsigned char> entries(ENTRY * ENTRIES);
    SIZE_T read = 0;
    ReadProcessMemory(process, table, entries.data(), entries.size(), &read);
    int used = 0;
    for (size_t at = 0; at + ENTRY <= read; at += ENTRY)
        if (entries[at + 14] || entries[at + 15])
            ++used;
    return used;
}

// Near: JPEG frames do not give the page's colour exactly.
constexpr int COLOUR_TOLERANCE = 24;

bool screenMiddleShows(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    const COLORREF shown = GetPixel(screen, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    ReleaseDC(nullptr, screen);
    return std::abs(GetRValue(shown) - GetRValue(colour)) <= COLOUR_TOLERANCE &&
           std::abs(GetGValue(shown) - GetGValue(colour)) <= COLOUR_TOLERANCE &&
           std::abs(GetBValue(shown) - GetBValue(colour)) <= COLOUR_TOLERANCE;
}

// The base names of the modules loaded in the process; empty when they cannot be read. The
// loader's list may change while it is walked, so a failed walk is tried again.
std::vector<std::string> modulesOf(HANDLE process)
{
    std::vector<HMODULE> modules(512);
    for (int attempt = 0; attempt < 5; ++attempt) {
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModules(process, modules.data(), size, &needed)) {
            Sleep(1);
            continue;
        }
        if (needed > size) {
            modules.resize(needed / sizeof(HMODULE));
            continue;
        }
        std::vector<std::string> names;
        for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) {
            char name[MAX_PATH];
            if (GetModuleBaseNameA(process, modules[i], name, MAX_PATH))
                names.emplace_back(name);
        }
        return names;
    }
    return {};
}

double msSince(const LARGE_INTEGER& started, const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - started.QuadPart) * 1000.0 / frequency.QuadPart;
}

std::string commandLine(int argc, char** argv, int first)
{
    std::string line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty())
            line += ' ';
        line += std::string("\"") + argv[i] + "\"";
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    int next = 1;
    bool waitForColour = false;
    COLORREF colour = 0;
    if (argc > 2 && std::string(argv[1]) == "--colour") {
        const unsigned long rgb = std::strtoul(argv[2], nullptr, 16);
        colour = RGB(rgb >> 16 & 255, rgb >> 8 & 255, rgb & 255);
        waitForColour = true;
        next = 3;
    }
    if (argc < next + 2) {
        std::fprintf(stderr, "usage: bench_probe [--colour RRGGBB] <seconds> <program> [arguments...]\n");
        return 2;
    }
    const DWORD laterMs = static_cast<DWORD>(std::atof(argv[next]) * 1000);
    std::string line = commandLine(argc, argv, next + 1);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER frequency, started;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "bench_probe: cannot start %s (%lu)\n", argv[2], GetLastError());
        return 1;
    }
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !window && GetTickCount() - start < START_LIMIT_MS;) {
        window = visibleWindowOf(info.dwProcessId);
        if (!window)
            Sleep(1);
    }
    const double visibleMs = window ? msSince(started, frequency) : -1.0;
    const std::vector<std::string> modules = window ? modulesOf(info.hProcess) : std::vector<std::string>();
    bool content = false;
    for (DWORD start = GetTickCount(); window && !content && GetTickCount() - start < START_LIMIT_MS;) {
        content = waitForColour ? screenMiddleShows(colour) : !IsWindowVisible(GetDlgItem(window, LOADING_ANIMATION_ID));
        if (!content)
            Sleep(1);
    }
    const double contentMs = content ? msSince(started, frequency) : -1.0;
    if (content) {
        std::printf("shown_ms=%.0f\n", contentMs);
        std::fflush(stdout);
    }
    const int first = gdiObjectsOf(info.hProcess);
    Sleep(laterMs);
    const int later = gdiObjectsOf(info.hProcess);
    std::string names;
    for (const std::string& name : modules)
        names += (names.empty() ? "" : ",") + name;
    std::printf("module_names=%s\n", names.c_str());
    std::printf("visible_ms=%.0f content_ms=%.0f gdi_first=%d gdi_later=%d modules=%d\n", visibleMs, contentMs, first,
                later, modules.empty() ? -1 : static_cast<int>(modules.size()));
    std::fflush(stdout);
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 15000) == WAIT_TIMEOUT)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return window ? 0 : 1;
}
