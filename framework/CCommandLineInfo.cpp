#include "framework/CCommandLineInfo.h"

void parseCommandLineWords(CCommandLineInfo& info, int count, const char* const* words)
{
    for (int i = 0; i < count; ++i) {
        const char* word = words[i];
        const bool flag = word[0] == '/' || word[0] == '-';
        info.ParseParam(flag ? word + 1 : word, flag, i == count - 1);
    }
}
