#include "tests/qvedge/support/FeatureValues.h"

const char* const FEATURE_CONTROL_KEYS[3] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_ALIGNED_TIMERS",
};

namespace {

// The machine's values are read in the 32-bit view; that is where tests put them.
void removeValue(HKEY root, const char* key, const CString& name)
{
    if (name.IsEmpty())
        return;
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE | view, &opened) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(opened, name);
    RegCloseKey(opened);
}

} // namespace

FeatureControlNames featureNamesOf(const std::string& programPath)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(programPath.c_str(), shortPath, MAX_PATH);
    return {fileNamePart(programPath.c_str()), fileNamePart(shortPath)};
}

FeatureControlNames testProgramFeatureNames()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return featureNamesOf(path);
}

std::optional<DWORD> userFeatureValue(const char* key, const CString& name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

void removeFeatureValues(const FeatureControlNames& names)
{
    for (const char* key : FEATURE_CONTROL_KEYS) {
        removeValue(HKEY_CURRENT_USER, key, names.longName);
        removeValue(HKEY_CURRENT_USER, key, names.shortName);
    }
    removeValue(HKEY_LOCAL_MACHINE, FEATURE_CONTROL_KEYS[0], names.longName);
    removeValue(HKEY_LOCAL_MACHINE, FEATURE_CONTROL_KEYS[0], names.shortName);
}

FeatureValuesTurn::FeatureValuesTurn(const FeatureControlNames& names) : names(names)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "QuorvelFeatureControl");
    if (mutex && WaitForSingleObject(mutex, 60000) != WAIT_TIMEOUT)
        turn = mutex;
    else if (mutex)
        CloseHandle(mutex);
}

FeatureValuesTurn::~FeatureValuesTurn()
{
    removeFeatureValues(names);
    if (turn) {
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
}
