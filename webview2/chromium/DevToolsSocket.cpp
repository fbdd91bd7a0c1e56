#include "webview2/chromium/DevToolsSocket.h"

#include "webview2/common/ProviderText.h"

namespace {

constexpr DWORD RECEIVE_CHUNK = 64 * 1024;
constexpr const wchar_t* LOOPBACK = L"127.0.0.1";
constexpr const wchar_t* AGENT = L"QuorvelRuntime";

} // namespace

DevToolsSocket::~DevToolsSocket()
{
    release();
}

void DevToolsSocket::release()
{
    for (HINTERNET* handle : {&socket, &connection, &session}) {
        if (*handle)
            WinHttpCloseHandle(*handle);
        *handle = nullptr;
    }
}

bool DevToolsSocket::open(unsigned short port, const std::string& path)
{
    release();
    session = WinHttpOpen(AGENT, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        return false;
    connection = WinHttpConnect(session, LOOPBACK, port, 0);
    if (!connection)
        return false;
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", wide(path).c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, 0);
    if (!request)
        return false;
    DWORD status = 0;
    DWORD size = sizeof status;
    const bool upgraded =
        WinHttpSetOption(request, WINHTTP_OPTION_UPGRADE_TO_WEB_SOCKET, nullptr, 0) &&
        WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr) &&
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                            &status, &size, WINHTTP_NO_HEADER_INDEX) &&
        status == HTTP_STATUS_SWITCH_PROTOCOLS;
    if (upgraded)
        socket = WinHttpWebSocketCompleteUpgrade(request, 0);
    WinHttpCloseHandle(request);
    return socket != nullptr;
}

bool DevToolsSocket::send(const std::string& text)
{
    std::lock_guard<std::mutex> lock(sendMutex);
    return socket && WinHttpWebSocketSend(socket, WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE,
                                          const_cast<char*>(text.data()), static_cast<DWORD>(text.size())) == NO_ERROR;
}

bool DevToolsSocket::receive(std::string& message)
{
    message.clear();
    if (!socket)
        return false;
    std::string chunk(RECEIVE_CHUNK, '\0');
    for (;;) {
        DWORD read = 0;
        WINHTTP_WEB_SOCKET_BUFFER_TYPE type;
        if (WinHttpWebSocketReceive(socket, &chunk[0], RECEIVE_CHUNK, &read, &type) != NO_ERROR)
            return false;
        switch (type) {
        case WINHTTP_WEB_SOCKET_UTF8_FRAGMENT_BUFFER_TYPE:
        case WINHTTP_WEB_SOCKET_BINARY_FRAGMENT_BUFFER_TYPE:
            message.append(chunk, 0, read);
            break;
        case WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE:
            message.append(chunk, 0, read);
            return true;
        case WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE:
            // The protocol speaks text only.
            message.clear();
            break;
        case WINHTTP_WEB_SOCKET_CLOSE_BUFFER_TYPE:
        default:
            return false;
        }
    }
}
