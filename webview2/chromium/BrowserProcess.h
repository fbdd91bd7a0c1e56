#pragma once
// Starting the browser the way the real runtime starts its own: from the executable named
// by QV_BROWSER, headless, with the environment's user-data folder and extra arguments,
// DevTools on a port of its choosing on loopback; then waiting for the DevTools endpoint
// it writes into the folder. Under Wine the browser is a Linux program: it gets the
// folder as its Unix path, and the starter gets no handle to it (it ends it over the
// protocol).
#include "framework/Win.h"
#include "webview2/chromium/DevToolsActivePort.h"

#include <optional>
#include <string>

// The environment variable naming the browser executable (a Windows path).
constexpr const wchar_t* BROWSER_VARIABLE = L"QV_BROWSER";
// How long the start may take until the endpoint answers.
constexpr DWORD BROWSER_START_TIMEOUT_MS = 10000;

// The browser named by QV_BROWSER; nothing when the variable is unset or empty.
std::optional<std::wstring> browserExecutable();
// The Unix path Wine maps a Windows path to; the path itself where there is no Wine.
std::wstring hostPath(const std::wstring& windowsPath);
// The command line: executable, fixed switches, user-data folder, extra arguments.
std::wstring browserCommandLine(const std::wstring& executable, const std::wstring& userDataFolder,
                                const std::wstring& additionalArguments);
// Removes a DevToolsActivePort left in the folder (creating the folder when absent) and
// starts the browser; the failure of the start, or S_OK.
HRESULT launchBrowser(const std::wstring& executable, const std::wstring& userDataFolder,
                      const std::wstring& additionalArguments);
// The endpoint from the folder's DevToolsActivePort, when the browser has written it.
std::optional<DevToolsEndpoint> readDevToolsEndpoint(const std::wstring& userDataFolder);
