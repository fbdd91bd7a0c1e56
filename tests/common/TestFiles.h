#pragma once
// Files for tests: unique temporary paths, removed when the test ends.
#include "framework/Win.h"

#include <string>

class TempFile {
public:
    TempFile()
    {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        char name[MAX_PATH] = {};
        GetTempFileNameA(folder, "qvt", 0, name);
        path = name;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { DeleteFileA(path.c_str()); }

    const char* Path() const { return path.c_str(); }

private:
    std::string path;
};

inline bool WriteBytes(const char* path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

inline std::string ReadBytes(const char* path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}
