#include "qvedge/app/FeatureControl.h"

#include "common/ProgramBaseName.h"

#include <cstring>

namespace {

constexpr char BROWSER_EMULATION_KEY[] =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
constexpr char GPU_RENDERING_KEY[] =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING";
constexpr char ALIGNED_TIMERS_KEY[] =
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_ALIGNED_TIMERS";

constexpr DWORD INTERNET_EXPLORER_11_MODE = 11000;
constexpr DWORD FEATURE_ON = 1;

constexpr REGSAM MACHINE_ACCESS = KEY_READ | KEY_WOW64_32KEY;
constexpr REGSAM USER_ACCESS = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
constexpr DWORD SHORT_PATH_LENGTH = 256;

// CRegistry::Open reports an open key as 0 or 1, whether or not its values were loaded.
bool opened(LONG result)
{
    return result == 0 || result == 1;
}

void setForBothNames(CRegistry& registry, const FeatureControlNames& names, DWORD value)
{
    setRegistryDwordIfAbsent(registry, names.longName, value);
    setRegistryDwordIfAbsent(registry, names.shortName, value);
}

} // namespace

CString fileNamePart(const CString& path)
{
    return path.Mid(path.ReverseFind('\\') + 1);
}

FeatureControlNames programFeatureControlNames()
{
    const CString path = getProgramPath();
    char shortPath[SHORT_PATH_LENGTH + 1] = {};
    if (GetShortPathNameA(path, shortPath, SHORT_PATH_LENGTH) > SHORT_PATH_LENGTH)
        shortPath[0] = '\0';
    return {fileNamePart(path), fileNamePart(shortPath)};
}

BOOL registryHasValue(const CRegistry& registry, const char* name)
{
    for (const auto& entry : registry.GetEntries())
        if (std::strcmp(entry->GetName(), name) == 0)
            return TRUE;
    return FALSE;
}

void setRegistryDwordIfAbsent(CRegistry& registry, const char* name, DWORD value)
{
    if (!registryHasValue(registry, name))
        registry[name].SetDword(value);
}

int SetupRegistry(const FeatureControlNames& names)
{
    {
        CRegistry machine;
        if (opened(machine.Open(BROWSER_EMULATION_KEY, HKEY_LOCAL_MACHINE, MACHINE_ACCESS, FALSE)) &&
            registryHasValue(machine, names.longName))
            return FALSE;
    }
    {
        // Creates the user's key even when it then finds the name listed.
        CRegistry user(CRegistry::flagCreate);
        if (opened(user.Open(BROWSER_EMULATION_KEY, HKEY_CURRENT_USER, USER_ACCESS, FALSE)) &&
            registryHasValue(user, names.longName))
            return FALSE;
    }
    CRegistry values(CRegistry::flagCreate);
    if (!opened(values.Open(BROWSER_EMULATION_KEY, HKEY_CURRENT_USER, USER_ACCESS, FALSE)))
        return FALSE;
    setForBothNames(values, names, INTERNET_EXPLORER_11_MODE);
    // A key that cannot be opened gets no values: the entries write only through an open key.
    values.Open(GPU_RENDERING_KEY, HKEY_CURRENT_USER, USER_ACCESS, FALSE);
    setForBothNames(values, names, FEATURE_ON);
    values.Open(ALIGNED_TIMERS_KEY, HKEY_CURRENT_USER, USER_ACCESS, FALSE);
    setForBothNames(values, names, FEATURE_ON);
    return TRUE;
}

int SetupRegistry()
{
    return SetupRegistry(programFeatureControlNames());
}
