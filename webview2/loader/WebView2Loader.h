#pragma once
// The environment-creation entry loads the runtime provider once, by full path, from the
// program's own folder (never through the DLL search path) and keeps it until the process
// ends. Tests name another file instead.
#include <string>

// An empty path restores the program's own folder. The next call loads afresh (a module
// loaded before stays loaded).
void setWebView2ProviderPath(const std::string& path);
