#pragma once
// The browser side of one view: a page (target) in a browser context of its own, attached
// through a flat session of the browser's one connection. Commands run in order on the
// page's own worker thread; events arrive on the connection's reader thread and go to the
// observer (navigations, resource requests, close requests) or to the content window
// (screencast frames).
#include "webview2/chromium/Browser.h"
#include "webview2/chromium/FrameWindow.h"
#include "webview2/chromium/NavigationTracker.h"
#include "webview2/chromium/TaskQueue.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Told, on the reader thread, what the page does. It must not wait for the page's commands.
class PageObserver {
public:
    virtual void navigationEvent(const NavigationEvent& event) = 0;
    virtual void resourceRequested(const std::string& requestId, const std::string& uri) = 0;
    virtual void closeRequested() = 0;

protected:
    ~PageObserver() = default;
};

// The name of the page function window.close calls instead of closing.
constexpr const char* CLOSE_BINDING = "__quorvelClose";

class Page : public std::enable_shared_from_this<Page> {
public:
    Page(std::shared_ptr<Browser> browser, std::shared_ptr<FrameWindow> frames);
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Queues `open` on the worker and calls `done` there with its outcome.
    void start(int width, int height, std::function<void(HRESULT)> done);
    // Null stops every report.
    void observe(PageObserver* observer);
    bool alive() const;

    // Each queued on the worker.
    void navigate(const std::string& uri);
    void evaluate(const std::string& script, std::function<void(HRESULT, const std::string&)> done);
    void resize(int width, int height);
    void setBackground(int red, int green, int blue, double alpha);
    void setUserAgent(const std::string& userAgent);
    void setMuted(bool muted);
    void interceptRequests(const nlohmann::json& patterns);
    // Lets a paused request go on (http, https) or fails it (any scheme the browser cannot
    // load, "mem" among them), as the real runtime does with one its handler left
    // unanswered. Sent at once: the page's own commands may be waiting for the request.
    void settleRequest(const std::string& requestId, const std::string& uri);
    // Stops the reports and disposes of the page's context (and with it the page).
    void close();

private:
    HRESULT open(int width, int height);
    DevToolsReply command(const std::string& method, const nlohmann::json& params = nlohmann::json::object());
    void queue(std::function<void(Page&)> task);
    void onEvent(const std::string& method, const nlohmann::json& params);
    void report(const std::vector<NavigationEvent>& events);
    void acknowledge(int frameNumber);

    const std::shared_ptr<Browser> browser;
    const std::shared_ptr<DevToolsConnection> devTools;
    const std::shared_ptr<FrameWindow> frames;
    TaskQueue worker;
    // Set by open before any event can arrive; read on every thread after it.
    std::string browserContextId;
    std::string sessionId;
    std::string muteScriptId;
    std::mutex mutex;
    PageObserver* observer = nullptr;
    std::unique_ptr<NavigationTracker> tracker;
    bool closed = false;
};
