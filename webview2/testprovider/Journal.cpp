#include "webview2/testprovider/Journal.h"

#include <cstdio>
#include <cwchar>
#include <mutex>

namespace {

std::mutex journalMutex;

std::string escaped(const std::string& value)
{
    std::string out;
    for (char c : value) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace

void journal(const std::string& who, const std::string& method, const JournalFields& fields)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QV_RUNTIME_JOURNAL", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::string line = who + "\t" + method;
    for (const auto& field : fields)
        line += "\t" + field.first + "=" + escaped(field.second);
    line += "\n";
    std::lock_guard<std::mutex> lock(journalMutex);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

std::string truncatedUtf8(LPCWSTR text, size_t limit)
{
    if (!text)
        return "";
    return utf8(std::wstring(text, std::min(std::wcslen(text), limit)).c_str());
}

std::string hresultText(HRESULT result)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}
