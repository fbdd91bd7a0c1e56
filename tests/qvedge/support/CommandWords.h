#pragma once
// A command line for the start-up's tests, parsed as the class library hands it over.
#include "qvedge/app/QuorvelCmdInfo.h"

#include <vector>

inline CQuorvelCmdInfo parse(std::vector<const char*> words)
{
    CQuorvelCmdInfo info;
    parseCommandLineWords(info, static_cast<int>(words.size()), words.data());
    return info;
}
