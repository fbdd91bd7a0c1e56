// Times CString::Replace on an address made of repeated "mem://" at two sizes ten times apart;
// a linear replace takes about ten times as long for the larger one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "framework/CString.h"

namespace {

double bestMilliseconds(std::size_t size)
{
    std::string address;
    while (address.size() < size)
        address += "mem://";
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        CString text(address);
        auto start = std::chrono::steady_clock::now();
        text.Replace("mem://", "https://");
        std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

} // namespace

int main()
{
    const double small = bestMilliseconds(512 * 1024);
    const double large = bestMilliseconds(5 * 1024 * 1024);
    std::printf("0.5 MB: %.2f ms; 5 MB: %.2f ms\n", small, large);
    std::printf("ratio 5 MB / 0.5 MB: %.1f (linear: about 10)\n", large / small);
    return 0;
}
