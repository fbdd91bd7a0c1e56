#pragma once
// Associates the package's file type ".qvx" in the prefix with the tests' package opener,
// which writes the path it was given into that path + ".opened" half a second after start.
// Wine's shell reads the machine's classes, not the user's.
#include "framework/Win.h"
#include "tests/qvedge/support/ProgramRun.h"

#include <fstream>
#include <sstream>
#include <string>

inline bool associatePackageOpener()
{
    const std::string command = "\"" + windowsPath(PACKAGE_OPENER_EXE) + "\" \"%1\"";
    const char* progId = "QuorvelTest.Package";
    return RegSetValueA(HKEY_CLASSES_ROOT, ".qvx", REG_SZ, progId, 0) == ERROR_SUCCESS &&
           RegSetValueA(HKEY_CLASSES_ROOT, "QuorvelTest.Package\\shell\\open\\command", REG_SZ,
                        command.c_str(), 0) == ERROR_SUCCESS;
}

// What the opener wrote for the file; empty when it has not (yet) run.
inline std::string openedWith(const std::string& file)
{
    std::ifstream in(file + ".opened");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
