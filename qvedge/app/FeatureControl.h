#pragma once
// The program's Internet Explorer feature-control values for the current user: document
// mode 11, GPU rendering and aligned timers, for the program file's long and short name.
#include "common/Registry.h"
#include "framework/CString.h"

// The value names: the program file's name with its extension, as the system reports
// the path and in the path's short (8.3) form; the short one is empty when the system
// has none.
struct FeatureControlNames {
    CString longName;
    CString shortName;
};

// The file-name part of a path: after its last backslash, the whole path without one.
CString fileNamePart(const CString& path);
FeatureControlNames programFeatureControlNames();

// TRUE when the key's loaded entries hold a value of exactly that name (case counts).
BOOL registryHasValue(const CRegistry& registry, const char* name);
// Writes the number under the name through the registry's open key unless the name is
// listed; an entry whose name differs only in case is the one overwritten.
void setRegistryDwordIfAbsent(CRegistry& registry, const char* name, DWORD value);

// Writes nothing when the machine or the user already lists the long name for the
// document mode; otherwise writes the absent values. TRUE when it came to writing.
int SetupRegistry(const FeatureControlNames& names);
int SetupRegistry();
