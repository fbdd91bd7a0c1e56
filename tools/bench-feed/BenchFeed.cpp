// Converts a generated feed of about 10 MB and compares the program's feed step with
// rapidxml's parse alone on the same text, in the same process. The program scans a body's
// nesting as its chunks arrive (FeedBody), so its feed step is the parse and the conversion;
// what that scan adds to the reading, and the step with the scan as a pass of its own before
// the parse, are printed beside it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "qvedge/feed/FeedBody.h"
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

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The time of one step on a fresh writable copy of the feed.
template <class Step>
double seconds(const std::string& feed, Step step)
{
    std::vector<char> body(feed.begin(), feed.end());
    body.push_back('\0');
    const auto start = std::chrono::steady_clock::now();
    step(body.data());
    return since(start);
}

// The feed in the program's chunks, as they leave the network.
std::vector<std::string> chunksOf(const std::string& feed)
{
    std::vector<std::string> chunks;
    for (size_t from = 0; from < feed.size(); from += FeedBody::readChunkSize)
        chunks.push_back(feed.substr(from, FeedBody::readChunkSize));
    return chunks;
}

// Reading into a plain string, counting each chunk up to its NUL.
double plainReading(const std::vector<std::string>& chunks)
{
    const auto start = std::chrono::steady_clock::now();
    std::string body;
    for (const std::string& chunk : chunks)
        body.append(chunk.data(), strnlen(chunk.data(), chunk.size()));
    const double elapsed = since(start);
    return body.empty() ? 1e9 : elapsed;
}

struct Reading {
    double readSeconds;
    double stepSeconds;
    size_t jsonSize;
};

// The program's reading, then its feed step on what was read.
Reading programReading(const std::vector<std::string>& chunks, XmlJsonConverter& converter)
{
    auto start = std::chrono::steady_clock::now();
    FeedBody body;
    for (const std::string& chunk : chunks)
        body.append(chunk.data(), chunk.size());
    const double read = since(start);
    start = std::chrono::steady_clock::now();
    const std::string* json = body.convert(converter);
    return {read, since(start), json ? json->size() : 0};
}

} // namespace

int main()
{
    const std::string feed = generateFeed(10 * 1024 * 1024);
    const std::vector<std::string> chunks = chunksOf(feed);
    const double megabytes = feed.size() / (1024.0 * 1024.0);
    const int rounds = 10;
    XmlJsonConverter converter;
    size_t jsonSize = 0;
    size_t scanFirstJsonSize = 0;

    auto parseStep = [&](char* body) {
        converter.getDocument().clear();
        converter.getDocument().parse<0>(body);
    };
    auto scanFirstStep = [&](char* body) {
        const std::string* json = convertFeedBody(converter, body);
        scanFirstJsonSize = json ? json->size() : 0;
    };
    double parse = 1e9, step = 1e9, scanFirst = 1e9, plainRead = 1e9, read = 1e9;
    // Turn about, so that all see the same load of the machine.
    for (int round = 0; round < rounds; ++round) {
        parse = std::min(parse, seconds(feed, parseStep));
        const Reading reading = programReading(chunks, converter);
        read = std::min(read, reading.readSeconds);
        step = std::min(step, reading.stepSeconds);
        jsonSize = reading.jsonSize;
        scanFirst = std::min(scanFirst, seconds(feed, scanFirstStep));
        plainRead = std::min(plainRead, plainReading(chunks));
    }

    std::printf("feed %.1f MB, JSON %.1f MB, best of %d\n", megabytes, jsonSize / (1024.0 * 1024.0), rounds);
    std::printf("rapidxml parse:  %7.1f MB/s\n", megabytes / parse);
    std::printf("feed step:       %7.1f MB/s (parse and conversion; the nesting was scanned as the chunks came)\n",
                megabytes / step);
    std::printf("ratio feed step/parse throughput: %.3f\n", parse / step);
    std::printf("with the scan as a pass of its own before the parse: %.1f MB/s, ratio %.3f\n",
                megabytes / scanFirst, parse / scanFirst);
    std::printf("reading %zu chunks: %.1f ms, %.1f ms plain (the scan adds %.1f ms)\n", chunks.size(), read * 1e3,
                plainRead * 1e3, (read - plainRead) * 1e3);
    return jsonSize && jsonSize == scanFirstJsonSize ? 0 : 1;
}
