#include "webview2/chromium/DevToolsConnection.h"

#include <chrono>
#include <vector>

using nlohmann::json;

namespace {

constexpr const char* CONNECTION_LOST = "connection lost";
constexpr const char* NO_REPLY = "no reply in time";

} // namespace

std::shared_ptr<DevToolsConnection> DevToolsConnection::open(unsigned short port, const std::string& path)
{
    std::shared_ptr<DevToolsConnection> connection(new DevToolsConnection());
    if (!connection->socket.open(port, path))
        return nullptr;
    // The reader keeps the connection alive until the browser closes it.
    auto* held = new std::shared_ptr<DevToolsConnection>(connection);
    HANDLE thread = CreateThread(nullptr, 0, readerMain, held, 0, &connection->readerThreadId);
    if (!thread) {
        delete held;
        return nullptr;
    }
    CloseHandle(thread);
    return connection;
}

DWORD WINAPI DevToolsConnection::readerMain(void* self)
{
    std::unique_ptr<std::shared_ptr<DevToolsConnection>> held(static_cast<std::shared_ptr<DevToolsConnection>*>(self));
    (*held)->read();
    return 0;
}

void DevToolsConnection::read()
{
    std::string message;
    while (socket.receive(message))
        dispatch(message);
    disconnected();
}

void DevToolsConnection::dispatch(const std::string& message)
{
    const json parsed = json::parse(message, nullptr, false);
    if (!parsed.is_object())
        return;
    try {
        const auto id = parsed.find("id");
        if (id != parsed.end() && id->is_number_integer()) {
            std::lock_guard<std::mutex> lock(mutex);
            const auto waiting = pending.find(id->get<int>());
            if (waiting == pending.end())
                return;
            DevToolsReply& reply = waiting->second->reply;
            const auto error = parsed.find("error");
            reply.ok = error == parsed.end();
            if (reply.ok)
                reply.result = parsed.value("result", json::object());
            else
                reply.error = error->is_object() ? error->value("message", std::string()) : std::string();
            waiting->second->done = true;
            pending.erase(waiting);
            changed.notify_all();
            return;
        }
        const std::string method = parsed.value("method", std::string());
        if (method.empty())
            return;
        std::shared_ptr<DevToolsListener> listener;
        {
            std::lock_guard<std::mutex> lock(mutex);
            const auto found = listeners.find(parsed.value("sessionId", std::string()));
            if (found != listeners.end())
                listener = found->second;
        }
        if (listener)
            (*listener)(method, parsed.value("params", json::object()));
    } catch (const std::exception&) {
        // A message of an unexpected shape is dropped.
    }
}

void DevToolsConnection::disconnected()
{
    std::map<std::string, std::shared_ptr<DevToolsListener>> heard;
    {
        std::lock_guard<std::mutex> lock(mutex);
        connected = false;
        for (auto& waiting : pending) {
            waiting.second->reply.error = CONNECTION_LOST;
            waiting.second->done = true;
        }
        pending.clear();
        heard.swap(listeners);
        changed.notify_all();
    }
    for (auto& listener : heard)
        (*listener.second)(DISCONNECTED_EVENT, json::object());
}

int DevToolsConnection::send(const std::string& method, const json& params, const std::string& sessionId,
                             std::shared_ptr<Pending> waiting)
{
    json message = {{"method", method}, {"params", params}};
    if (!sessionId.empty())
        message["sessionId"] = sessionId;
    int id;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!connected)
            return 0;
        id = ++nextId;
        if (waiting)
            pending[id] = waiting;
    }
    message["id"] = id;
    if (socket.send(message.dump(-1, ' ', false, json::error_handler_t::replace)))
        return id;
    std::lock_guard<std::mutex> lock(mutex);
    pending.erase(id);
    return 0;
}

DevToolsReply DevToolsConnection::call(const std::string& method, const json& params, const std::string& sessionId,
                                       DWORD timeoutMs)
{
    auto waiting = std::make_shared<Pending>();
    const int id = send(method, params, sessionId, waiting);
    if (id == 0) {
        DevToolsReply failed;
        failed.error = CONNECTION_LOST;
        return failed;
    }
    std::unique_lock<std::mutex> lock(mutex);
    if (!changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return waiting->done; })) {
        pending.erase(id);
        DevToolsReply late;
        late.error = NO_REPLY;
        return late;
    }
    return waiting->reply;
}

void DevToolsConnection::post(const std::string& method, const json& params, const std::string& sessionId)
{
    send(method, params, sessionId, nullptr);
}

void DevToolsConnection::listen(const std::string& sessionId, DevToolsListener listener)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (connected)
        listeners[sessionId] = std::make_shared<DevToolsListener>(std::move(listener));
}

void DevToolsConnection::forget(const std::string& sessionId)
{
    std::lock_guard<std::mutex> lock(mutex);
    listeners.erase(sessionId);
}

bool DevToolsConnection::alive() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return connected;
}

bool DevToolsConnection::onReaderThread() const
{
    return GetCurrentThreadId() == readerThreadId;
}

bool DevToolsConnection::waitClosed(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !connected; });
}
