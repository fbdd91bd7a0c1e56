#pragma once
// The class library's WinINet classes, as far as the program uses them.
#include <utility>

#include "framework/Win.h"
#include <wininet.h>

class CHttpFile;

// Raised by the WinINet classes with the failing call's error code.
class CInternetException {
public:
    explicit CInternetException(DWORD error) : error(error) {}
    DWORD error;
};

// One WinINet handle, closed once.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle(handle) {}
    InternetHandle(InternetHandle&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    InternetHandle& operator=(InternetHandle&& other) noexcept;
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() { Reset(); }

    HINTERNET Get() const { return handle; }
    void Reset();

private:
    HINTERNET handle;
};

class CInternetSession {
public:
    // Raises CInternetException when WinINet cannot be opened. WinINet takes the context
    // per request, so the session's own one is not used.
    CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxy,
                     const char* proxyBypass, DWORD flags);

    // The open request for an address, owned by the caller; raises CInternetException.
    CHttpFile* OpenURL(const char* url, DWORD_PTR context, DWORD flags, const char* headers, DWORD headersLength);
    void Close() { handle.Reset(); }

private:
    InternetHandle handle;
};

class CHttpFile {
public:
    explicit CHttpFile(InternetHandle handle) : handle(std::move(handle)) {}

    // Bytes read, 0 at the end; raises CInternetException.
    UINT Read(void* buffer, UINT count);
    void Close() { handle.Reset(); }

private:
    InternetHandle handle;
};
