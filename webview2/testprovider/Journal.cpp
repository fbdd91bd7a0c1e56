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

std::string utf8(LPCWSTR text)
{
    if (!text || !*text)
        return "";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text)
{
    if (text.empty())
        return L"";
    const int characters = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(characters > 0 ? characters - 1 : 0, L'\0');
    if (characters > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], characters);
    return out;
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

HRESULT coTaskMemCopy(const std::wstring& text, LPWSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*out)
        return E_OUTOFMEMORY;
    std::wmemcpy(*out, text.c_str(), text.size() + 1);
    return S_OK;
}
