#pragma once
// Commands and events over the browser's DevTools WebSocket. A reader thread of its own
// takes every message: replies wake the command's caller, events go to the listener of
// their session ("" for the browser's own). When the connection drops, every waiting and
// later command fails and every listener hears DISCONNECTED_EVENT once.
#include "webview2/chromium/DevToolsSocket.h"

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// The pseudo-event every listener gets when the browser has gone.
constexpr const char* DISCONNECTED_EVENT = "Quorvel.disconnected";
// How long a command waits for its reply.
constexpr DWORD DEVTOOLS_CALL_TIMEOUT_MS = 10000;

struct DevToolsReply {
    bool ok = false;
    nlohmann::json result;
    // The browser's error message, or why no reply came.
    std::string error;
};

// Called on the reader thread; it must not wait for a reply.
using DevToolsListener = std::function<void(const std::string& method, const nlohmann::json& params)>;

class DevToolsConnection : public std::enable_shared_from_this<DevToolsConnection> {
public:
    // Null when nothing answers at the port.
    static std::shared_ptr<DevToolsConnection> open(unsigned short port, const std::string& path);

    DevToolsConnection(const DevToolsConnection&) = delete;
    DevToolsConnection& operator=(const DevToolsConnection&) = delete;

    // Sends and waits for the reply. Never call it on the reader thread.
    DevToolsReply call(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
                       const std::string& sessionId = "", DWORD timeoutMs = DEVTOOLS_CALL_TIMEOUT_MS);
    // Sends without waiting; the reply is dropped. Any thread.
    void post(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
              const std::string& sessionId = "");
    void listen(const std::string& sessionId, DevToolsListener listener);
    void forget(const std::string& sessionId);
    bool alive() const;
    bool onReaderThread() const;
    // Waits until the browser has closed the connection; false when it has not within the time.
    bool waitClosed(DWORD timeoutMs);

private:
    struct Pending {
        bool done = false;
        DevToolsReply reply;
    };

    DevToolsConnection() = default;
    static DWORD WINAPI readerMain(void* self);
    void read();
    void dispatch(const std::string& message);
    void disconnected();
    int send(const std::string& method, const nlohmann::json& params, const std::string& sessionId,
             std::shared_ptr<Pending> pending);

    DevToolsSocket socket;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::map<int, std::shared_ptr<Pending>> pending;
    std::map<std::string, std::shared_ptr<DevToolsListener>> listeners;
    int nextId = 0;
    bool connected = true;
    DWORD readerThreadId = 0;
};
