#pragma once
// The file a browser started with --remote-debugging-port=0 writes into its user-data
// folder: the port on line 1, the browser's WebSocket path on line 2. Free of windows.h.
#include <optional>
#include <string>

constexpr const char* DEVTOOLS_ACTIVE_PORT_FILE = "DevToolsActivePort";

struct DevToolsEndpoint {
    unsigned short port = 0;
    std::string path;
};

// Nothing until both lines are there (the browser may still be writing the file).
std::optional<DevToolsEndpoint> parseDevToolsActivePort(const std::string& text);
