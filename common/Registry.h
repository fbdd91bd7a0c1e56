#pragma once
#include "framework/Unique.h"
#include "framework/Win.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle key) { RegCloseKey(key); }
};
// An opened registry key.
using OwnedKey = Unique<RegistryKeyTraits>;

class CRegistry;

// One cached value of a CRegistry's key. Storing into it writes the value through to the
// open key at once.
class CRegEntry {
public:
    // Longest name kept, its terminator included.
    static constexpr size_t nameSize = 2048;
    // The string cache, its terminator included; the registry still receives the whole text.
    static constexpr size_t stringSize = 2048;

    CRegEntry(CRegistry* owner, const char* name);
    virtual ~CRegEntry();
    CRegEntry(const CRegEntry&) = delete;
    CRegEntry& operator=(const CRegEntry&) = delete;

    void SetString(const char* text);
    void SetDword(DWORD value);
    // A size of 0 changes nothing, neither here nor in the registry.
    void SetBinary(const BYTE* data, DWORD size);
    // The registry receives the bytes as given; the entry keeps the strings of the list.
    void SetMultiString(const BYTE* data, DWORD size);

    const char* GetName() const { return name.c_str(); }
    DWORD GetType() const { return type; }
    DWORD GetDword() const { return dword; }
    // Null until the first string was stored.
    const char* GetString() const { return string.get(); }
    const std::vector<BYTE>& GetBinary() const { return binary; }
    const std::vector<std::string>& GetStrings() const { return strings; }

private:
    void WriteThrough(const void* data, DWORD size) const;

    std::string name;
    DWORD type = 0;
    CRegistry* owner;
    DWORD dword = 0;
    std::unique_ptr<char[]> string;
    std::vector<BYTE> binary;
    std::vector<std::string> strings;
};

// One open registry key and a cache of its values.
class CRegistry {
public:
    // Open with RegCreateKeyExA, creating a missing key.
    static constexpr int flagCreate = 1;
    // Set while Refresh fills the entries, so they are not written back.
    static constexpr int flagLoading = 8;
    static constexpr DWORD nameBufferLength = MAX_PATH;
    static constexpr DWORD dataBufferSize = 2048;

    explicit CRegistry(int flags = 0);
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // The registry's error code when the open fails; otherwise, unless reopening, 1 when the
    // values were loaded and 0 when not; 0 when reopening. Reopening keeps the stored name,
    // root and entries and only opens the given key. Reopening without that flag on a name
    // that differs only in case keeps the entries too.
    LONG Open(const char* subKey, HKEY root, REGSAM access, BOOL reopen);
    // Loads the key's values into the entries; false without an open key.
    bool Refresh();
    // The entry of that name (ASCII case ignored), created when missing.
    CRegEntry& operator[](const char* name);

    const std::vector<std::unique_ptr<CRegEntry>>& GetEntries() const { return entries; }

private:
    friend class CRegEntry;

    void Close();
    void LoadValue(const char* name, DWORD valueType, const BYTE* data, DWORD size);

    HKEY hKey = nullptr;
    int flags;
    HKEY root = nullptr;
    std::optional<std::string> subKey;
    std::vector<std::unique_ptr<CRegEntry>> entries;
};
