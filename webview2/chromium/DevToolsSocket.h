#pragma once
// The WebSocket to the browser's DevTools endpoint on loopback, through WinHTTP. One
// thread receives while others send.
#include "framework/Win.h"

#include <winhttp.h>

#include <mutex>
#include <string>

class DevToolsSocket {
public:
    DevToolsSocket() = default;
    DevToolsSocket(const DevToolsSocket&) = delete;
    DevToolsSocket& operator=(const DevToolsSocket&) = delete;
    ~DevToolsSocket();

    // Connects to ws://127.0.0.1:port/path; false when nothing answers or refuses the upgrade.
    bool open(unsigned short port, const std::string& path);
    // One text message; false when the connection is gone.
    bool send(const std::string& text);
    // Blocks for the next whole text message; false when the connection is gone.
    bool receive(std::string& message);

private:
    void release();

    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET socket = nullptr;
    std::mutex sendMutex;
};
