#pragma once
// The one browser of the process: started, on a thread of its own, by the first
// environment created, with that environment's user-data folder and arguments; closed
// over the protocol when the last environment is released (or, should none ever have been
// made, when the last holder lets it go).
#include "webview2/chromium/DevToolsConnection.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Every call that needs the browser fails with this once it has gone.
constexpr HRESULT BROWSER_GONE = HRESULT_FROM_WIN32(ERROR_CONNECTION_ABORTED);
// How long the last release waits for the browser to close its end.
constexpr DWORD BROWSER_CLOSE_WAIT_MS = 2000;

class Browser {
public:
    // The browser of the process, started when there is none (or the last one was closed).
    static std::shared_ptr<Browser> acquire(const std::wstring& executable, const std::wstring& userDataFolder,
                                            const std::wstring& additionalArguments);
    ~Browser();
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // The start's outcome: S_OK, HRESULT_FROM_WIN32(ERROR_TIMEOUT) when no endpoint answered
    // in time, or the launch's failure. Called on the starting thread, or at once when known.
    void whenStarted(std::function<void(HRESULT)> done);
    // Null until started.
    std::shared_ptr<DevToolsConnection> connection() const;
    // The browser's own user agent, read once at the start.
    std::wstring userAgent() const;
    // Environments count themselves in and out; the last one out closes the browser and
    // waits (a little) until it has gone, so that it does not outlive the program.
    void environmentMade();
    void environmentReleased();

private:
    Browser(std::wstring executable, std::wstring userDataFolder, std::wstring additionalArguments);
    static DWORD WINAPI startMain(void* self);
    HRESULT start();
    void close();

    const std::wstring executable;
    const std::wstring userDataFolder;
    const std::wstring additionalArguments;
    mutable std::mutex mutex;
    HRESULT outcome = E_PENDING;
    std::vector<std::function<void(HRESULT)>> waiting;
    std::shared_ptr<DevToolsConnection> devTools;
    std::wstring agent;
    int environments = 0;
    bool closed = false;
};
