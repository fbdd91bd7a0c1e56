#include "FeatureValues.h"

const char* const FEATURE_CONTROL_KEYS[3] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_ALIGNED_TIMERS",
};

namespace {

void removeValue(HKEY root, const char* key, const CString& name)
{
    if (!name.IsEmpty())
        RegDeleteKeyValueA(root, key, name);
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
