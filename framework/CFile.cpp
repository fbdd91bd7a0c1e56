#include "framework/CFile.h"

#include "framework/Win.h"

#include <utility>

namespace {
CString SystemMessage(unsigned long osError)
{
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  osError, 0, text, sizeof text, nullptr);
    CString message(text, static_cast<int>(length));
    message.TrimRight();
    if (message.IsEmpty())
        message.Format("System error %lu.", osError);
    return message;
}
}

CFileException::CFileException(unsigned long osError, const CString& fileName)
    : CException("File error on \"" + fileName + "\": " + SystemMessage(osError))
{
}

CFile::CFile(CFile&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)), fileName(std::move(other.fileName))
{
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other) {
        Close();
        handle = std::exchange(other.handle, nullptr);
        fileName = std::move(other.fileName);
    }
    return *this;
}

bool CFile::Open(const char* name, unsigned openFlags)
{
    Close();
    DWORD share = (openFlags & shareDenyNone) ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    HANDLE opened = CreateFileA(name, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    handle = opened;
    fileName = name;
    return true;
}

uint64_t CFile::GetLength() const
{
    LARGE_INTEGER size = {};
    if (!handle || !GetFileSizeEx(handle, &size))
        ThrowLastError();
    return static_cast<uint64_t>(size.QuadPart);
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    DWORD read = 0;
    if (!handle || !ReadFile(handle, buffer, count, &read, nullptr))
        ThrowLastError();
    return read;
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from)
{
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance = {};
    distance.QuadPart = offset;
    LARGE_INTEGER position = {};
    if (!handle || !SetFilePointerEx(handle, distance, &position, methods[from]))
        ThrowLastError();
    return static_cast<uint64_t>(position.QuadPart);
}

void CFile::Close()
{
    if (handle)
        CloseHandle(std::exchange(handle, nullptr));
}

void CFile::ThrowLastError() const
{
    throw CFileException(handle ? GetLastError() : ERROR_INVALID_HANDLE, fileName);
}
