#include "common/ProgramBaseName.h"

#include "framework/Win.h"

CString baseNameOfPath(const CString& path)
{
    const int dot = path.ReverseFind('.');
    const int slash = path.ReverseFind('\\');
    return path.Mid(slash + 1, dot - slash - 1);
}

CString getProgramPath()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

CString getProgramBaseName()
{
    const CString path = getProgramPath();
    char longPath[MAX_PATH] = {};
    DWORD length = GetLongPathNameA(path, longPath, MAX_PATH);
    if (length > 0 && length < MAX_PATH && longPath[0] != '\0')
        return baseNameOfPath(longPath);
    return baseNameOfPath(path);
}
