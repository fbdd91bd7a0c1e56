// Splits any byte string at its NUL bytes into command-line words and parses them as the
// program's arguments.
#include "qvedge/app/QuorvelCmdInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1);
    bool anyFlag = false;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<const char*> pointers;
    for (const std::string& word : words) {
        pointers.push_back(word.c_str());
        anyFlag = anyFlag || word[0] == '/' || word[0] == '-';
    }
    CQuorvelCmdInfo info;
    parseCommandLineWords(info, static_cast<int>(pointers.size()), pointers.data());

    const int mode = info.monitorMode;
    if (mode != 0 && mode != 1 && mode != 2 && mode != 4)
        std::abort();
    if (info.monitorModeGiven == (mode == 0) || info.noWords == anyFlag)
        std::abort();
    return 0;
}
