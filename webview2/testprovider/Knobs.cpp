#include "webview2/testprovider/Knobs.h"

#include <cstdlib>

namespace {

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

Knobs Knobs::parse(const std::string& text)
{
    Knobs knobs;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        knobs.entries[trimmed(line.substr(0, equals))].push_back(trimmed(line.substr(equals + 1)));
    }
    return knobs;
}

const std::vector<std::string>* Knobs::values(const std::string& key, int scope) const
{
    auto found = entries.find(key + "@" + std::to_string(scope));
    if (found == entries.end())
        found = entries.find(key);
    return found == entries.end() ? nullptr : &found->second;
}

std::string Knobs::text(const std::string& key, int scope, const std::string& fallback) const
{
    const std::vector<std::string>* found = values(key, scope);
    return found ? found->back() : fallback;
}

int64_t Knobs::number(const std::string& key, int scope, int64_t fallback) const
{
    const std::vector<std::string>* found = values(key, scope);
    if (!found || found->back().empty())
        return fallback;
    const std::string& value = found->back();
    char* end = nullptr;
    const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    const int64_t parsed = hex ? static_cast<int64_t>(std::strtoull(value.c_str() + 2, &end, 16))
                               : std::strtoll(value.c_str(), &end, 10);
    return *end == '\0' ? parsed : fallback;
}

unsigned Knobs::milliseconds(const std::string& key, int scope) const
{
    constexpr int64_t MAX_DELAY_MS = 60000;
    const int64_t value = number(key, scope, 0);
    return static_cast<unsigned>(value < 0 ? 0 : value > MAX_DELAY_MS ? MAX_DELAY_MS : value);
}

std::vector<std::string> Knobs::list(const std::string& key, int scope) const
{
    const std::vector<std::string>* found = values(key, scope);
    return found ? *found : std::vector<std::string>();
}

bool Knobs::has(const std::string& key, int scope) const
{
    return values(key, scope) != nullptr;
}

bool addressMatches(const std::string& address, const std::string& pattern)
{
    if (!pattern.empty() && pattern.back() == '*')
        return address.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return address == pattern;
}
