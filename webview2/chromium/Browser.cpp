#include "webview2/chromium/Browser.h"

#include "webview2/chromium/BrowserProcess.h"
#include "webview2/common/ProviderText.h"

namespace {

constexpr DWORD ENDPOINT_POLL_MS = 20;

std::mutex browserMutex;
std::weak_ptr<Browser> processBrowser;

} // namespace

std::shared_ptr<Browser> Browser::acquire(const std::wstring& executable, const std::wstring& userDataFolder,
                                          const std::wstring& additionalArguments)
{
    std::lock_guard<std::mutex> lock(browserMutex);
    if (std::shared_ptr<Browser> running = processBrowser.lock()) {
        std::lock_guard<std::mutex> state(running->mutex);
        if (!running->closed)
            return running;
    }
    std::shared_ptr<Browser> browser(new Browser(executable, userDataFolder, additionalArguments));
    // The starting thread holds the browser until the start is over.
    auto* held = new std::shared_ptr<Browser>(browser);
    HANDLE thread = CreateThread(nullptr, 0, startMain, held, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete held;
        browser->outcome = HRESULT_FROM_WIN32(GetLastError());
    }
    processBrowser = browser;
    return browser;
}

Browser::Browser(std::wstring executable, std::wstring userDataFolder, std::wstring additionalArguments)
    : executable(std::move(executable)), userDataFolder(std::move(userDataFolder)),
      additionalArguments(std::move(additionalArguments))
{
}

Browser::~Browser()
{
    close();
}

void Browser::close()
{
    std::shared_ptr<DevToolsConnection> connection;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (closed)
            return;
        closed = true;
        connection = devTools;
    }
    if (!connection || !connection->alive())
        return;
    connection->post("Browser.close");
    if (!connection->onReaderThread())
        connection->waitClosed(BROWSER_CLOSE_WAIT_MS);
}

void Browser::environmentMade()
{
    std::lock_guard<std::mutex> lock(mutex);
    ++environments;
}

void Browser::environmentReleased()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (--environments > 0)
            return;
    }
    close();
}

DWORD WINAPI Browser::startMain(void* self)
{
    std::unique_ptr<std::shared_ptr<Browser>> held(static_cast<std::shared_ptr<Browser>*>(self));
    Browser& browser = **held;
    const HRESULT result = browser.start();
    std::vector<std::function<void(HRESULT)>> done;
    {
        std::lock_guard<std::mutex> lock(browser.mutex);
        browser.outcome = result;
        done.swap(browser.waiting);
    }
    for (auto& callback : done)
        callback(result);
    return 0;
}

HRESULT Browser::start()
{
    const DWORD begin = GetTickCount();
    const HRESULT launched = launchBrowser(executable, userDataFolder, additionalArguments);
    if (FAILED(launched))
        return launched;
    std::shared_ptr<DevToolsConnection> connection;
    while (!connection) {
        if (GetTickCount() - begin >= BROWSER_START_TIMEOUT_MS)
            return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        if (const auto endpoint = readDevToolsEndpoint(userDataFolder))
            connection = DevToolsConnection::open(endpoint->port, endpoint->path);
        if (!connection)
            Sleep(ENDPOINT_POLL_MS);
    }
    const DevToolsReply version = connection->call("Browser.getVersion");
    if (!version.ok)
        return BROWSER_GONE;
    std::lock_guard<std::mutex> lock(mutex);
    devTools = connection;
    agent = wide(version.result.value("userAgent", std::string()));
    return S_OK;
}

void Browser::whenStarted(std::function<void(HRESULT)> done)
{
    HRESULT known;
    {
        std::lock_guard<std::mutex> lock(mutex);
        known = outcome;
        if (known == E_PENDING) {
            waiting.push_back(std::move(done));
            return;
        }
    }
    done(known);
}

std::shared_ptr<DevToolsConnection> Browser::connection() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return devTools;
}

std::wstring Browser::userAgent() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return agent;
}
