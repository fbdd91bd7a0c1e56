#include "common/Registry.h"

#include <mbstring.h>

#include <algorithm>
#include <cstring>

namespace {

const char* orEmpty(const char* text)
{
    return text ? text : "";
}

bool sameNameNoCase(const char* a, const char* b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a),
                    reinterpret_cast<const unsigned char*>(b)) == 0;
}

// The parts of a list: each string whose terminator lies before the end, the list's own
// final NUL not counted.
std::vector<std::string> splitMultiString(const BYTE* data, DWORD size)
{
    std::vector<std::string> parts;
    if (size <= 2)
        return parts;
    const char* text = reinterpret_cast<const char*>(data);
    const size_t end = text[size - 1] == '\0' ? size - 1 : size;
    for (size_t start = 0; start < end;) {
        const char* terminator = static_cast<const char*>(std::memchr(text + start, '\0', end - start));
        if (!terminator)
            break;
        const size_t length = static_cast<size_t>(terminator - (text + start));
        parts.emplace_back(text + start, length);
        start += length + 1;
    }
    return parts;
}

}  // namespace

CRegEntry::CRegEntry(CRegistry* owner, const char* name)
    : name(orEmpty(name), strnlen(orEmpty(name), nameSize - 1)), owner(owner)
{
}

CRegEntry::~CRegEntry() = default;

void CRegEntry::SetString(const char* text)
{
    text = orEmpty(text);
    type = REG_SZ;
    if (!string) {
        string.reset(new char[stringSize]);
        string[0] = '\0';
    }
    const size_t length = std::strlen(text);
    const size_t kept = std::min(length, stringSize - 1);
    std::memcpy(string.get(), text, kept);
    string[kept] = '\0';
    WriteThrough(text, static_cast<DWORD>(length + 1));
}

void CRegEntry::SetDword(DWORD value)
{
    type = REG_DWORD;
    dword = value;
    WriteThrough(&dword, sizeof dword);
}

void CRegEntry::SetBinary(const BYTE* data, DWORD size)
{
    if (size == 0)
        return;
    type = REG_BINARY;
    binary.assign(data, data + size);
    WriteThrough(data, size);
}

void CRegEntry::SetMultiString(const BYTE* data, DWORD size)
{
    type = REG_MULTI_SZ;
    strings = splitMultiString(data, size);
    WriteThrough(data, size);
}

void CRegEntry::WriteThrough(const void* data, DWORD size) const
{
    if (!owner || (owner->flags & CRegistry::flagLoading) || name.empty() || !owner->hKey)
        return;
    RegSetValueExA(owner->hKey, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

CRegistry::CRegistry(int flags) : flags(flags) {}

CRegistry::~CRegistry()
{
    Close();
}

LONG CRegistry::Open(const char* subKeyName, HKEY rootKey, REGSAM access, BOOL reopen)
{
    subKeyName = orEmpty(subKeyName);
    if (!reopen) {
        if (!subKey || !sameNameNoCase(subKey->c_str(), subKeyName)) {
            entries.clear();
            subKey = subKeyName;
        }
        root = rootKey;
    }
    Close();
    if (flags & flagCreate)
        access |= KEY_CREATE_SUB_KEY;
    HKEY opened = nullptr;
    const LONG result = (flags & flagCreate)
                            ? RegCreateKeyExA(rootKey, subKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              access, nullptr, &opened, nullptr)
                            : RegOpenKeyExA(rootKey, subKeyName, 0, access, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    hKey = opened;
    if (reopen)
        return 0;
    return Refresh() ? 1 : 0;
}

bool CRegistry::Refresh()
{
    DWORD valueCount = 0;
    if (!hKey || RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                                  nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<BYTE> data(dataBufferSize);
    const int savedFlags = flags;
    flags |= flagLoading;
    entries.reserve(entries.size() + valueCount);
    for (DWORD index = 0; index < valueCount; ++index) {
        char name[nameBufferLength];
        DWORD nameLength = nameBufferLength;
        DWORD valueType = 0;
        DWORD size = dataBufferSize;
        if (RegEnumValueA(hKey, index, name, &nameLength, nullptr, &valueType, data.data(), &size) ==
            ERROR_SUCCESS)
            LoadValue(name, valueType, data.data(), size);
    }
    flags = savedFlags;
    return true;
}

void CRegistry::LoadValue(const char* name, DWORD valueType, const BYTE* data, DWORD size)
{
    switch (valueType) {
    case REG_SZ: {
        // A stored text need not end in a NUL; never read past what the call returned.
        const std::string text(reinterpret_cast<const char*>(data),
                               strnlen(reinterpret_cast<const char*>(data), size));
        (*this)[name].SetString(text.c_str());
        break;
    }
    case REG_BINARY:
        (*this)[name].SetBinary(data, size);
        break;
    case REG_DWORD: {
        // A shorter value counts from zero rather than from what the buffer held before.
        DWORD value = 0;
        std::memcpy(&value, data, std::min<DWORD>(size, sizeof value));
        (*this)[name].SetDword(value);
        break;
    }
    case REG_MULTI_SZ:
        (*this)[name].SetMultiString(data, size);
        break;
    default:
        break;
    }
}

CRegEntry& CRegistry::operator[](const char* name)
{
    name = orEmpty(name);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        if (sameNameNoCase((*entry)->GetName(), name))
            return **entry;
    entries.push_back(std::make_unique<CRegEntry>(this, name));
    return *entries.back();
}

void CRegistry::Close()
{
    if (hKey) {
        RegCloseKey(hKey);
        hKey = nullptr;
    }
}
