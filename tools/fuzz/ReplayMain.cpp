// Without libFuzzer: runs every file given (or every file in a folder given), and every
// prefix of it, since a text cut off anywhere is the readers' commonest malformed input.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                files.push_back(entry.path());
        } else {
            files.emplace_back(argv[i]);
        }
    }
    for (const auto& path : files) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (size_t length = 0; length <= text.size(); ++length)
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(text.data()), length);
    }
    std::printf("%zu inputs and all their prefixes ran clean\n", files.size());
    return files.empty() ? 1 : 0;
}
