#pragma once
// Turns the page session's protocol events into the view's navigation events: one start
// per new document (and one per redirect of its request), one completion per start,
// whoever started it (the view or the page). Success: no error text and a main response
// below 400 (or none, as for about:blank). Called from one thread at a time. Free of
// windows.h: it reads what the browser sends.
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct NavigationEvent {
    enum Kind { STARTING, COMPLETED };
    Kind kind = STARTING;
    std::string uri;
    bool redirected = false;
    bool success = false;
    // The browser's error name ("net::ERR_CONNECTION_REFUSED"); empty without one.
    std::string errorText;
};

// The error text of a navigation that a newer one replaced before it completed, and of
// one under way when the browser went away.
constexpr const char* NAVIGATION_ABORTED_ERROR = "net::ERR_ABORTED";
constexpr const char* NAVIGATION_DISCONNECTED_ERROR = "net::ERR_CONNECTION_CLOSED";

class NavigationTracker {
public:
    explicit NavigationTracker(std::string mainFrameId);

    std::vector<NavigationEvent> onEvent(const std::string& method, const nlohmann::json& params);
    // Page.navigate's result for an address the view asked for: an error completes the
    // navigation at once (an error page may follow; its events change nothing).
    std::vector<NavigationEvent> onNavigateResult(const std::string& uri, const nlohmann::json& result);
    std::vector<NavigationEvent> onDisconnected();

private:
    void begin(const std::string& loaderId, const std::string& uri, std::vector<NavigationEvent>& out);
    void complete(std::vector<NavigationEvent>& out);

    std::string mainFrameId;
    std::string loaderId;
    bool pending = false;
    int status = 0;
    std::string errorText;
};
