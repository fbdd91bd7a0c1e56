#pragma once
// Finding the configuration among its sources, and the start-up's box for a
// configuration error.
#include "framework/CString.h"
#include "qvedge/config/QuorvelConf.h"

// The three readers the loader tries, the program's own by default; tests put theirs
// in place. Each fills the record on success.
struct ConfigReaders {
    // The trailer of the named file, of the program's own file when the name is empty.
    int (*readSelf)(CQuorvelConf& config, const CString& name);
    // True when the registry names a package file; its path goes to the argument.
    bool (*registryPath)(CString& path);
    // A package file.
    int (*readFile)(CQuorvelConf& config, const CString& path);
};
extern ConfigReaders configReaders;

// The string-table text of a configuration error code.
unsigned configErrorStringId(int code);

// Shows the error box with the code's text on the primary monitor and returns when it
// has been closed.
void showConfigurationError(int code);
