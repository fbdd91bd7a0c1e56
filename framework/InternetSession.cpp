#include "framework/InternetSession.h"

InternetHandle& InternetHandle::operator=(InternetHandle&& other) noexcept
{
    if (this != &other) {
        Reset();
        handle = other.handle;
        other.handle = nullptr;
    }
    return *this;
}

void InternetHandle::Reset()
{
    if (handle)
        InternetCloseHandle(handle);
    handle = nullptr;
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType,
                                   const char* proxy, const char* proxyBypass, DWORD flags)
    : handle(InternetOpenA(agent, accessType, proxy, proxyBypass, flags))
{
    if (!handle.Get())
        throw CInternetException(GetLastError());
}

CHttpFile* CInternetSession::OpenURL(const char* url, DWORD_PTR context, DWORD flags, const char* headers,
                                     DWORD headersLength)
{
    InternetHandle request(InternetOpenUrlA(handle.Get(), url, headers, headersLength, flags, context));
    if (!request.Get())
        throw CInternetException(GetLastError());
    return new CHttpFile(std::move(request));
}

UINT CHttpFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (!InternetReadFile(handle.Get(), buffer, count, &read))
        throw CInternetException(GetLastError());
    return read;
}
