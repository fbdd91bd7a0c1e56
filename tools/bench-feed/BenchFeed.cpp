// Converts a generated feed of about 10 MB and compares the throughput of the whole caller
// step (nesting scan, parse, conversion) with rapidxml's parse alone on the same text.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "qvedge/feed/XmlJsonConverter.h"

namespace {

std::string generateFeed(size_t targetSize)
{
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Nachrichten \xC3\xBC\xC3\xB6\xC3\xA4</title>";
    for (int i = 0; feed.size() < targetSize; ++i) {
        feed += "<item id=\"" + std::to_string(i) + "\"><title>Meldung " + std::to_string(i) +
                " \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F\x65 aus M\xC3\xBCnchen, \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
                "\xE2\x82\xAC</title><link>https://example.com/news/" + std::to_string(i) +
                "</link><category>a</category><category>b</category><description><![CDATA[Text &amp; \"mehr\" "
                "\xF0\x9F\x98\x80]]></description><pubDate>Mon, 01 Jan 2024 10:00:00 +0000</pubDate></item>";
    }
    return feed + "</channel></rss>";
}

// The time of one step on a fresh writable copy of the feed.
template <class Step>
double seconds(const std::string& feed, Step step)
{
    std::vector<char> body(feed.begin(), feed.end());
    body.push_back('\0');
    auto start = std::chrono::steady_clock::now();
    step(body.data());
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

} // namespace

int main()
{
    const std::string feed = generateFeed(10 * 1024 * 1024);
    const double megabytes = feed.size() / (1024.0 * 1024.0);
    const int rounds = 10;
    XmlJsonConverter converter;
    size_t jsonSize = 0;

    auto parseStep = [&](char* body) {
        converter.getDocument().clear();
        converter.getDocument().parse<0>(body);
    };
    auto convertStep = [&](char* body) {
        const std::string* json = convertFeedBody(converter, body);
        jsonSize = json ? json->size() : 0;
    };
    double parse = 1e9;
    double convert = 1e9;
    // Turn about, so that both see the same load of the machine.
    for (int round = 0; round < rounds; ++round) {
        parse = std::min(parse, seconds(feed, parseStep));
        convert = std::min(convert, seconds(feed, convertStep));
    }

    std::printf("feed %.1f MB, JSON %.1f MB, best of %d\n", megabytes, jsonSize / (1024.0 * 1024.0), rounds);
    std::printf("rapidxml parse:  %7.1f MB/s\n", megabytes / parse);
    std::printf("toJsonCall step: %7.1f MB/s (scan, parse and conversion)\n", megabytes / convert);
    std::printf("ratio conversion/parse throughput: %.3f\n", parse / convert);
    return jsonSize ? 0 : 1;
}
