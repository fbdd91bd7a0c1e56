#include "webview2/chromium/Base64.h"
#include "webview2/chromium/DevToolsActivePort.h"
#include "webview2/chromium/NavigationTracker.h"

#include <gtest/gtest.h>

using nlohmann::json;

TEST(ChromiumBase64, EncodesAndDecodesEveryPaddingLength)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {std::string("\xff\x00\x10", 3), "/wAQ"}, {"\xfb\xff", "+/8="},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(text, base64Encode(bytes));
        EXPECT_EQ(std::optional<std::string>(bytes), base64Decode(text)) << text;
    }
}

TEST(ChromiumBase64, RefusesWhatIsNotBase64)
{
    for (const char* text : {"Zg=", "Zm9v!A==", "Zg==Zg==", "=Zg=", "Z===", "Zm 9", "Zm9v\n"})
        EXPECT_FALSE(base64Decode(text)) << text;
}

TEST(ChromiumDevToolsActivePort, ReadsThePortAndThePathOnceBothAreWritten)
{
    const auto endpoint = parseDevToolsActivePort("40123\n/devtools/browser/ab-12\n");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(40123, endpoint->port);
    EXPECT_EQ("/devtools/browser/ab-12", endpoint->path);
    EXPECT_TRUE(parseDevToolsActivePort("1\r\n/x\r\n"));
    for (const char* text : {"", "40123", "40123\n", "\n/x", "4a12\n/x", "0\n/x", "70000\n/x", "123456\n/x",
                             "40123\ndevtools", "40123\n/dev tools"})
        EXPECT_FALSE(parseDevToolsActivePort(text)) << text;
}

namespace {

// One protocol message: a method and its parameters, or "navigate" for Page.navigate's
// result and "gone" for the connection's end.
struct Step {
    std::string method;
    json params;
};

std::string shown(const NavigationEvent& event)
{
    if (event.kind == NavigationEvent::STARTING)
        return (event.redirected ? "redirected:" : "starting:") + event.uri;
    return std::string(event.success ? "completed" : "failed") + (event.errorText.empty() ? "" : ":" + event.errorText);
}

std::vector<std::string> run(const std::vector<Step>& steps)
{
    NavigationTracker tracker("MAIN");
    std::vector<std::string> out;
    for (const Step& step : steps) {
        const std::vector<NavigationEvent> events =
            step.method == "navigate" ? tracker.onNavigateResult("http://asked/", step.params)
            : step.method == "gone"   ? tracker.onDisconnected()
                                      : tracker.onEvent(step.method, step.params);
        for (const NavigationEvent& event : events)
            out.push_back(shown(event));
    }
    return out;
}

Step started(const std::string& loader, const std::string& url, const std::string& frame = "MAIN",
             const std::string& type = "differentDocument")
{
    return {"Page.frameStartedNavigating", {{"frameId", frame}, {"loaderId", loader}, {"url", url}, {"navigationType", type}}};
}

Step request(const std::string& id, const std::string& url, bool redirect = false, const std::string& type = "Document")
{
    json params = {{"requestId", id}, {"loaderId", id}, {"frameId", "MAIN"}, {"type", type}, {"request", {{"url", url}}}};
    if (redirect)
        params["redirectResponse"] = {{"status", 302}};
    return {"Network.requestWillBeSent", params};
}

Step response(const std::string& id, int status)
{
    return {"Network.responseReceived", {{"requestId", id}, {"type", "Document"}, {"response", {{"status", status}}}}};
}

Step failedLoading(const std::string& id, const std::string& error)
{
    return {"Network.loadingFailed", {{"requestId", id}, {"errorText", error}}};
}

Step stopped(const std::string& frame = "MAIN")
{
    return {"Page.frameStoppedLoading", {{"frameId", frame}}};
}

struct TrackerCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> expected;
};

} // namespace

TEST(ChromiumNavigationTracker, OneStartPerDocumentAndOneCompletionPerStart)
{
    const TrackerCase cases[] = {
        {"loaded page",
         {started("L1", "http://a/"), request("L1", "http://a/"), response("L1", 200), stopped()},
         {"starting:http://a/", "completed"}},
        {"request first, announcement after",
         {request("L1", "http://a/"), started("L1", "http://a/"), response("L1", 200), stopped()},
         {"starting:http://a/", "completed"}},
        {"another frame", {started("L1", "http://a/", "CHILD"), stopped("CHILD")}, {}},
        {"same document", {started("L1", "http://a/#b", "MAIN", "sameDocument"), stopped()}, {}},
        {"not a document", {request("R7", "http://a/x.png", false, "Image")}, {}},
        {"redirect",
         {started("L1", "http://a/"), request("L1", "http://a/"), request("L1", "http://b/", true), response("L1", 200),
          stopped()},
         {"starting:http://a/", "redirected:http://b/", "completed"}},
        {"error status", {started("L1", "http://a/"), response("L1", 404), stopped()}, {"starting:http://a/", "failed"}},
        {"failed load, completion repeated",
         {started("L1", "http://a/"), failedLoading("L1", "net::ERR_CONNECTION_REFUSED"), stopped(), stopped()},
         {"starting:http://a/", "failed:net::ERR_CONNECTION_REFUSED"}},
        {"replaced before completing",
         {started("L1", "http://a/"), started("L2", "http://b/"), stopped()},
         {"starting:http://a/", "failed:net::ERR_ABORTED", "starting:http://b/", "completed"}},
        {"navigate fails its own navigation",
         {started("L1", "http://a/"), {"navigate", {{"loaderId", "L1"}, {"errorText", "net::ERR_NAME_NOT_RESOLVED"}}},
          stopped()},
         {"starting:http://a/", "failed:net::ERR_NAME_NOT_RESOLVED"}},
        {"navigate fails before anything started",
         {{"navigate", {{"errorText", "net::ERR_UNSAFE_PORT"}}}},
         {"starting:http://asked/", "failed:net::ERR_UNSAFE_PORT"}},
        {"navigate succeeds", {started("L1", "http://a/"), {"navigate", {{"loaderId", "L1"}}}}, {"starting:http://a/"}},
        {"browser gone midway", {started("L1", "http://a/"), {"gone", {}}},
         {"starting:http://a/", "failed:net::ERR_CONNECTION_CLOSED"}},
        {"browser gone at rest", {started("L1", "http://a/"), stopped(), {"gone", {}}},
         {"starting:http://a/", "completed"}},
        {"malformed parameters", {{"Page.frameStartedNavigating", json::array()}, {"Network.responseReceived", 3}}, {}},
    };
    for (const TrackerCase& c : cases)
        EXPECT_EQ(c.expected, run(c.steps)) << c.name;
}
