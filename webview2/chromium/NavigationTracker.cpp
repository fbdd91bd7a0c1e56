#include "webview2/chromium/NavigationTracker.h"

namespace {

constexpr int FIRST_FAILING_STATUS = 400;

std::string text(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool isSameDocument(const std::string& navigationType)
{
    return navigationType == "sameDocument" || navigationType == "historySameDocument";
}

} // namespace

NavigationTracker::NavigationTracker(std::string mainFrameId) : mainFrameId(std::move(mainFrameId)) {}

void NavigationTracker::begin(const std::string& newLoaderId, const std::string& uri, std::vector<NavigationEvent>& out)
{
    if (pending) {
        errorText = NAVIGATION_ABORTED_ERROR;
        complete(out);
    }
    loaderId = newLoaderId;
    pending = true;
    status = 0;
    errorText.clear();
    NavigationEvent starting;
    starting.uri = uri;
    out.push_back(starting);
}

void NavigationTracker::complete(std::vector<NavigationEvent>& out)
{
    if (!pending)
        return;
    pending = false;
    NavigationEvent completed;
    completed.kind = NavigationEvent::COMPLETED;
    completed.errorText = errorText;
    completed.success = errorText.empty() && status < FIRST_FAILING_STATUS;
    out.push_back(completed);
}

std::vector<NavigationEvent> NavigationTracker::onEvent(const std::string& method, const nlohmann::json& params)
{
    std::vector<NavigationEvent> out;
    if (!params.is_object())
        return out;
    if (method == "Page.frameStartedNavigating") {
        const std::string id = text(params, "loaderId");
        if (text(params, "frameId") == mainFrameId && !isSameDocument(text(params, "navigationType")) &&
            !id.empty() && id != loaderId)
            begin(id, text(params, "url"), out);
    } else if (method == "Network.requestWillBeSent") {
        if (text(params, "type") != "Document" || text(params, "frameId") != mainFrameId)
            return out;
        const std::string id = text(params, "requestId");
        const auto request = params.find("request");
        const std::string uri = request != params.end() && request->is_object() ? text(*request, "url") : "";
        if (params.contains("redirectResponse")) {
            if (pending && id == loaderId) {
                NavigationEvent redirected;
                redirected.uri = uri;
                redirected.redirected = true;
                out.push_back(redirected);
            }
        } else if (!id.empty() && id != loaderId) {
            // A browser that does not announce navigations starts them with their request.
            begin(id, uri, out);
        }
    } else if (method == "Network.responseReceived") {
        const auto response = params.find("response");
        if (pending && text(params, "requestId") == loaderId && response != params.end() && response->is_object()) {
            const auto code = response->find("status");
            if (code != response->end() && code->is_number())
                status = code->get<int>();
        }
    } else if (method == "Network.loadingFailed") {
        if (pending && text(params, "requestId") == loaderId && errorText.empty())
            errorText = text(params, "errorText");
    } else if (method == "Page.frameStoppedLoading") {
        if (text(params, "frameId") == mainFrameId)
            complete(out);
    }
    return out;
}

std::vector<NavigationEvent> NavigationTracker::onNavigateResult(const std::string& uri, const nlohmann::json& result)
{
    std::vector<NavigationEvent> out;
    const std::string error = result.is_object() ? text(result, "errorText") : "";
    if (error.empty())
        return out;
    const std::string id = text(result, "loaderId");
    if (!id.empty() && id == loaderId) {
        if (!pending)
            return out;
    } else {
        begin(id.empty() ? uri : id, uri, out);
    }
    errorText = error;
    complete(out);
    return out;
}

std::vector<NavigationEvent> NavigationTracker::onDisconnected()
{
    std::vector<NavigationEvent> out;
    if (pending) {
        errorText = NAVIGATION_DISCONNECTED_ERROR;
        complete(out);
    }
    return out;
}
