#include <windows.h>

#include <fstream>
#include <string>

namespace {
constexpr DWORD OPEN_DELAY_MS = 500;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    Sleep(OPEN_DELAY_MS);
    std::ofstream(std::string(argv[1]) + ".opened") << argv[1];
    return 0;
}
