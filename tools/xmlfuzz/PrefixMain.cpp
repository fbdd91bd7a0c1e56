// Without libFuzzer: runs every file given, and every prefix of it, since a text cut off
// anywhere is the loader's commonest malformed input.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (size_t length = 0; length <= text.size(); ++length)
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(text.data()), length);
    }
    std::printf("%d inputs and all their prefixes ran clean\n", argc - 1);
    return 0;
}
