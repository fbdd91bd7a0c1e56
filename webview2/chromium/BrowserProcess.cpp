#include "webview2/chromium/BrowserProcess.h"

#include "webview2/common/ProviderText.h"

#include <vector>

namespace {

constexpr const wchar_t* BROWSER_SWITCHES = L" --headless --no-sandbox --remote-debugging-port=0"
                                            L" --remote-debugging-address=127.0.0.1 --log-level=3"
                                            L" --no-first-run --no-default-browser-check";
// The browser draws nothing on a display: it must not look for one.
constexpr const wchar_t* DISPLAY_VARIABLE = L"DISPLAY=";

std::wstring portFile(const std::wstring& folder)
{
    return folder + L"\\" + wide(DEVTOOLS_ACTIVE_PORT_FILE);
}

// A copy of this process's environment without DISPLAY, as CreateProcessW takes it.
std::vector<wchar_t> environmentWithoutDisplay()
{
    std::vector<wchar_t> block;
    LPWCH strings = GetEnvironmentStringsW();
    if (!strings)
        return block;
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1)
        if (_wcsnicmp(entry, DISPLAY_VARIABLE, wcslen(DISPLAY_VARIABLE)) != 0)
            block.insert(block.end(), entry, entry + wcslen(entry) + 1);
    FreeEnvironmentStringsW(strings);
    block.push_back(L'\0');
    return block;
}

} // namespace

std::optional<std::wstring> browserExecutable()
{
    const DWORD size = GetEnvironmentVariableW(BROWSER_VARIABLE, nullptr, 0);
    if (size <= 1)
        return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(BROWSER_VARIABLE, &value[0], size);
    if (length == 0 || length >= size)
        return std::nullopt;
    value.resize(length);
    return value;
}

std::wstring hostPath(const std::wstring& windowsPath)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return windowsPath;
    char* unix = toUnix(windowsPath.c_str());
    if (!unix)
        return windowsPath;
    const std::wstring path = wide(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::wstring browserCommandLine(const std::wstring& executable, const std::wstring& userDataFolder,
                                const std::wstring& additionalArguments)
{
    std::wstring line = L"\"" + executable + L"\"" + BROWSER_SWITCHES + L" \"--user-data-dir=" +
                        hostPath(userDataFolder) + L"\"";
    if (!additionalArguments.empty())
        line += L" " + additionalArguments;
    return line + L" about:blank";
}

HRESULT launchBrowser(const std::wstring& executable, const std::wstring& userDataFolder,
                      const std::wstring& additionalArguments)
{
    CreateDirectoryW(userDataFolder.c_str(), nullptr);
    // A file left by an earlier browser would name a port nobody answers any more.
    DeleteFileW(portFile(userDataFolder).c_str());
    std::wstring line = browserCommandLine(executable, userDataFolder, additionalArguments);
    std::vector<wchar_t> environment = environmentWithoutDisplay();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(executable.c_str(), &line[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.empty() ? nullptr : environment.data(),
                        nullptr, &startup, &process))
        return HRESULT_FROM_WIN32(GetLastError());
    // Under Wine both handles are empty: the browser is not ours to wait for.
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return S_OK;
}

std::optional<DevToolsEndpoint> readDevToolsEndpoint(const std::wstring& userDataFolder)
{
    HANDLE file = CreateFileW(portFile(userDataFolder).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    char buffer[512];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return parseDevToolsActivePort(std::string(buffer, read));
}
