#include "webview2/chromium/Page.h"

using nlohmann::json;

namespace {

// Frames up to this size: the page's viewport (the view's bounds) decides.
constexpr int SCREENCAST_MAX_SIZE = 4096;
constexpr int SCREENCAST_QUALITY = 80;

// Replaces window.close in every top document: a page may close its view whatever its history.
const std::string CLOSE_SCRIPT = std::string("if (window === window.top) window.close = function () { ") +
                                 CLOSE_BINDING + "(''); };";

// Keeps every media element of the document as muted as the view; an element the page
// muted itself stays muted when the view is unmuted.
constexpr const char* MUTE_SCRIPT = R"((() => {
  const apply = (element) => {
    if (!(element instanceof HTMLMediaElement)) return;
    if (window.__quorvelMuted) {
      if (!element.muted) { element.muted = true; element.__quorvelMutedIt = true; }
    } else if (element.__quorvelMutedIt) {
      element.muted = false; element.__quorvelMutedIt = false;
    }
  };
  window.__quorvelMute = (muted) => {
    window.__quorvelMuted = muted;
    document.querySelectorAll('audio, video').forEach(apply);
  };
  document.addEventListener('play', (event) => apply(event.target), true);
  document.addEventListener('loadstart', (event) => apply(event.target), true);
})();)";

std::string text(const json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool browserLoads(const std::string& uri)
{
    return uri.compare(0, 7, "http://") == 0 || uri.compare(0, 8, "https://") == 0;
}

} // namespace

Page::Page(std::shared_ptr<Browser> browser, std::shared_ptr<FrameWindow> frames)
    : browser(std::move(browser)), devTools(this->browser->connection()), frames(std::move(frames))
{
}

void Page::queue(std::function<void(Page&)> task)
{
    worker.push([self = shared_from_this(), task = std::move(task)] { task(*self); });
}

DevToolsReply Page::command(const std::string& method, const json& params)
{
    if (!devTools) {
        DevToolsReply none;
        none.error = "no browser";
        return none;
    }
    return devTools->call(method, params, sessionId);
}

void Page::start(int width, int height, std::function<void(HRESULT)> done)
{
    queue([width, height, done = std::move(done)](Page& page) { done(page.open(width, height)); });
}

HRESULT Page::open(int width, int height)
{
    if (!devTools || !devTools->alive())
        return BROWSER_GONE;
    // Disposed by the browser as well should this connection drop.
    DevToolsReply reply = devTools->call("Target.createBrowserContext", {{"disposeOnDetach", true}});
    if (!reply.ok)
        return BROWSER_GONE;
    browserContextId = text(reply.result, "browserContextId");
    reply = devTools->call("Target.createTarget", {{"url", "about:blank"},
                                                   {"browserContextId", browserContextId},
                                                   {"width", width},
                                                   {"height", height},
                                                   {"newWindow", true}});
    if (!reply.ok)
        return E_FAIL;
    const std::string targetId = text(reply.result, "targetId");
    reply = devTools->call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}});
    if (!reply.ok)
        return E_FAIL;
    {
        std::lock_guard<std::mutex> lock(mutex);
        sessionId = text(reply.result, "sessionId");
        // A page's main frame has the id of its target.
        tracker = std::make_unique<NavigationTracker>(targetId);
    }
    std::weak_ptr<Page> weak = shared_from_this();
    devTools->listen(sessionId, [weak](const std::string& method, const json& params) {
        if (std::shared_ptr<Page> page = weak.lock())
            page->onEvent(method, params);
    });
    // Bindings report their calls only to a session with the runtime domain on.
    const bool ready = command("Page.enable").ok && command("Network.enable").ok && command("Runtime.enable").ok &&
                       command("Runtime.addBinding", {{"name", CLOSE_BINDING}}).ok &&
                       command("Page.addScriptToEvaluateOnNewDocument", {{"source", CLOSE_SCRIPT}}).ok &&
                       command("Page.addScriptToEvaluateOnNewDocument", {{"source", MUTE_SCRIPT}}).ok &&
                       command("Emulation.setDeviceMetricsOverride",
                               {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}})
                           .ok &&
                       command("Page.startScreencast", {{"format", "jpeg"},
                                                        {"quality", SCREENCAST_QUALITY},
                                                        {"maxWidth", SCREENCAST_MAX_SIZE},
                                                        {"maxHeight", SCREENCAST_MAX_SIZE}})
                           .ok;
    return ready ? S_OK : (devTools->alive() ? E_FAIL : BROWSER_GONE);
}

void Page::observe(PageObserver* newObserver)
{
    std::lock_guard<std::mutex> lock(mutex);
    observer = newObserver;
}

bool Page::alive() const
{
    return devTools && devTools->alive();
}

void Page::report(const std::vector<NavigationEvent>& events)
{
    // Under the lock: once observe(nullptr) returns, no report reaches the old observer.
    for (const NavigationEvent& event : events)
        if (observer)
            observer->navigationEvent(event);
}

void Page::onEvent(const std::string& method, const json& params)
{
    if (method == "Page.screencastFrame") {
        const auto number = params.find("sessionId");
        const int frameNumber = number != params.end() && number->is_number_integer() ? number->get<int>() : 0;
        std::weak_ptr<Page> weak = shared_from_this();
        frames->deliver(text(params, "data"), [weak, frameNumber] {
            if (std::shared_ptr<Page> page = weak.lock())
                page->acknowledge(frameNumber);
        });
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (method == "Fetch.requestPaused") {
        const auto request = params.find("request");
        const std::string uri = request != params.end() && request->is_object() ? text(*request, "url") : "";
        if (observer)
            observer->resourceRequested(text(params, "requestId"), uri);
        else
            settleRequest(text(params, "requestId"), uri);
    } else if (method == "Runtime.bindingCalled") {
        if (text(params, "name") == CLOSE_BINDING && observer)
            observer->closeRequested();
    } else if (method == DISCONNECTED_EVENT) {
        if (tracker)
            report(tracker->onDisconnected());
    } else if (tracker) {
        report(tracker->onEvent(method, params));
    }
}

void Page::acknowledge(int frameNumber)
{
    if (devTools)
        devTools->post("Page.screencastFrameAck", {{"sessionId", frameNumber}}, sessionId);
}

void Page::navigate(const std::string& uri)
{
    queue([uri](Page& page) {
        const DevToolsReply reply = page.command("Page.navigate", {{"url", uri}});
        if (!reply.ok)
            return;
        std::lock_guard<std::mutex> lock(page.mutex);
        if (page.tracker)
            page.report(page.tracker->onNavigateResult(uri, reply.result));
    });
}

void Page::evaluate(const std::string& script, std::function<void(HRESULT, const std::string&)> done)
{
    queue([script, done = std::move(done)](Page& page) {
        const DevToolsReply reply = page.command("Runtime.evaluate", {{"expression", script}, {"returnByValue", true}});
        if (!reply.ok) {
            done(page.alive() ? E_FAIL : BROWSER_GONE, "null");
            return;
        }
        // A thrown script, or a value without a JSON form, reads as null.
        const json result = reply.result.value("result", json::object());
        const auto value = result.find("value");
        const bool thrown = reply.result.contains("exceptionDetails");
        done(S_OK, thrown || value == result.end() ? "null"
                                                   : value->dump(-1, ' ', false, json::error_handler_t::replace));
    });
}

void Page::resize(int width, int height)
{
    queue([width, height](Page& page) {
        page.command("Emulation.setDeviceMetricsOverride",
                     {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    });
}

void Page::setBackground(int red, int green, int blue, double alpha)
{
    queue([=](Page& page) {
        page.command("Emulation.setDefaultBackgroundColorOverride",
                     {{"color", {{"r", red}, {"g", green}, {"b", blue}, {"a", alpha}}}});
    });
}

void Page::setUserAgent(const std::string& userAgent)
{
    queue([userAgent](Page& page) { page.command("Network.setUserAgentOverride", {{"userAgent", userAgent}}); });
}

void Page::setMuted(bool muted)
{
    queue([muted](Page& page) {
        const std::string state = std::string("window.__quorvelMuted = ") + (muted ? "true" : "false") + ";";
        if (!page.muteScriptId.empty())
            page.command("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", page.muteScriptId}});
        const DevToolsReply added = page.command("Page.addScriptToEvaluateOnNewDocument", {{"source", state}});
        page.muteScriptId = added.ok ? text(added.result, "identifier") : "";
        page.command("Runtime.evaluate", {{"expression", std::string("window.__quorvelMute && window.__quorvelMute(") +
                                                             (muted ? "true" : "false") + ")"}});
    });
}

void Page::interceptRequests(const json& patterns)
{
    queue([patterns](Page& page) { page.command("Fetch.enable", {{"patterns", patterns}}); });
}

void Page::settleRequest(const std::string& requestId, const std::string& uri)
{
    if (!devTools)
        return;
    if (browserLoads(uri))
        devTools->post("Fetch.continueRequest", {{"requestId", requestId}}, sessionId);
    else
        devTools->post("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", "Failed"}}, sessionId);
}

void Page::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (closed)
            return;
        closed = true;
        observer = nullptr;
    }
    queue([](Page& page) {
        if (!page.devTools || page.browserContextId.empty())
            return;
        if (!page.sessionId.empty())
            page.devTools->forget(page.sessionId);
        page.devTools->call("Target.disposeBrowserContext", {{"browserContextId", page.browserContextId}});
    });
}
