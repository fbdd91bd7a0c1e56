#pragma once
#include "framework/CString.h"

// The base name of a program path: the text between the last backslash and the last
// ".", clamped like CString::Mid, so it is empty when the last "." lies in a folder
// name or there is none at all.
CString baseNameOfPath(const CString& path);

// The running program's path as the system reports it (GetModuleFileNameA, not lengthened).
CString getProgramPath();

// The running program's base name in its long form, computed afresh at each call.
CString getProgramBaseName();
