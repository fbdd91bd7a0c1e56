// Large generated inputs, each read the way the program reads it and held to a time bound:
// fuzzing at small sizes never shows a reader that grows quadratically. Built optimised and
// without the sanitizers, which distort timings; the bounds are several times what a linear
// reader takes there, and well below what a quadratic one takes. Every case runs on a thread
// with half the stack the program's threads get under Windows (mingw-w64 links 2 MB), so
// deep nesting must stay bounded. Names given on the command line select cases.
#include "common/XmlDocument.h"
#include "framework/CArchive.h"
#include "qvedge/feed/FeedBody.h"
#include "qvedge/feed/FeedMeasure.h"
#include "qvedge/feed/MemAddress.h"
#include "qvedge/feed/XmlJsonConverter.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr size_t megabyte = 1024 * 1024;
constexpr size_t stackSize = 1 * megabyte;

std::vector<char> writable(const std::string& text)
{
    std::vector<char> body(text.begin(), text.end());
    body.push_back('\0');
    return body;
}

// The configuration as it leaves the decryption: one archived string.
std::string configurationOfAddresses(size_t size)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration>\n"
                       "  <mode value=\"0\"/>\n  <urlList>\n";
    for (int i = 0; text.size() < size; ++i)
        text += "    <url adr=\"https://www.example.com/pages/" + std::to_string(i) + "?a=1&amp;b=2\"/>\n";
    return text + "  </urlList>\n  <timeOut value=\"30000\"/>\n</configuration>\n";
}

// Starts the clock for the step under test, once its input is made.
class Stopwatch {
public:
    void start() { started = std::chrono::steady_clock::now(); }
    double seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }

private:
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Reads the archived configuration, loads it and walks its address list, as start-up does.
bool readConfiguration(Stopwatch& clock, size_t size)
{
    const std::string text = configurationOfAddresses(size);
    clock.start();
    CMemFile file;
    CArchive store(file, CArchive::store);
    store << CString(text);
    file.SeekToBegin();
    CArchive load(file, CArchive::load);
    CString archived;
    load >> archived;
    const XmlDocument document(archived, XmlDocument::sourceText);
    const XmlElement* list = document.root() ? document.root()->findChild("urlList") : nullptr;
    if (!list || !document.root()->findChild("timeOut"))
        return false;
    int found = 0;
    for (const auto& url : list->children()) {
        const XmlAttribute* address = url->findAttribute("adr");
        std::string decoded(std::strlen(address->value()) + 1, '\0');
        decodeXmlEntities(address->value(), decoded.data());
        found += std::strncmp(decoded.c_str(), "https://www.example.com/", 24) == 0;
    }
    return found == list->children().count() && found > 10000;
}

// One element whose every list is long: children, text contents, comments, CDATA sections
// and, on one child, attributes.
std::string wideDocument(int width)
{
    std::string text = "<?xml version=\"1.0\"?><r><a";
    for (int i = 0; i < width; ++i)
        text += " n" + std::to_string(i) + "=\"v\"";
    text += "/>";
    for (int i = 0; i < width; ++i)
        text += "<c/>text<!-- c --><![CDATA[d]]>";
    return text + "</r>";
}

bool readWideDocument(Stopwatch& clock, int width)
{
    const std::string text = wideDocument(width);
    clock.start();
    const XmlDocument document(text.c_str(), XmlDocument::sourceText);
    const XmlElement* root = document.root();
    return root && document.status() == XmlDocument::loaded && root->children().count() == width + 1 &&
           root->contents().count() == width && root->comments().count() == width &&
           root->cdataSections().count() == width && root->children().at(0)->attributes().count() == width;
}

std::string feedOfItems(size_t size)
{
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                       "<title>Nachrichten \xC3\xBC\xC3\xB6\xC3\xA4</title>";
    for (int i = 0; feed.size() < size; ++i) {
        const std::string n = std::to_string(i);
        feed += "<item id=\"" + n + "\"><title>Meldung " + n + " \xE2\x80\x93 M\xC3\xBCnchen \xE2\x82\xAC</title>"
                "<link>https://example.com/news/" + n + "</link><category>a</category><category>b</category>"
                "<description><![CDATA[Text &amp; \"mehr\" \xF0\x9F\x98\x80]]></description></item>";
    }
    return feed + "</channel></rss>";
}

bool convertFeed(Stopwatch& clock, size_t size)
{
    const std::string feed = feedOfItems(size);
    std::vector<char> body = writable(feed);
    clock.start();
    XmlJsonConverter converter;
    const std::string* json = convertFeedBody(converter, body.data());
    return json && json->size() > feed.size() / 2 && json->find("\"item\":[{") != std::string::npos &&
           json->compare(json->size() - 5, 5, "]}}})") == 0;
}

// A feed as the program fetches it: in chunks, the one markup that spans most of them
// (a 10 MB character-data section arriving a kilobyte at a time) included.
bool convertArrivingFeed(Stopwatch& clock, size_t size)
{
    const std::string feed = feedOfItems(size);
    const std::string section = "<r><![CDATA[" + std::string(size / 5, 'x') + "]]></r>";
    clock.start();
    XmlJsonConverter converter;
    FeedBody items;
    for (size_t from = 0; from < feed.size(); from += FeedBody::readChunkSize)
        items.append(feed.data() + from, std::min<size_t>(FeedBody::readChunkSize, feed.size() - from));
    const std::string* json = items.convert(converter);
    if (!json || json->compare(json->size() - 5, 5, "]}}})") != 0)
        return false;
    FeedBody spanning;
    for (size_t from = 0; from < section.size(); from += 1024)
        spanning.append(section.data() + from, std::min<size_t>(1024, section.size() - from));
    json = spanning.convert(converter);
    return json && json->size() > size / 5;
}

std::string nested(int depth, const std::string& inner = "x")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

// The nesting that every reader refuses or cuts, closed and unclosed.
bool readDeepNesting(Stopwatch& clock, int depth)
{
    const std::string closed = nested(depth);
    const std::string unclosed = closed.substr(0, 3 * depth);
    clock.start();
    for (const std::string& text : {closed, unclosed}) {
        const XmlDocument document(text.c_str(), XmlDocument::sourceText);
        if (document.status() != XmlDocument::partial)
            return false;
        std::vector<char> body = writable(text);
        if (measureFeed(body.data(), XmlJsonConverter::maxNestingDepth).nestingWithin)
            return false;
        XmlJsonConverter converter;
        if (convertFeedBody(converter, body.data()))
            return false;
    }
    return true;
}

// The deepest nesting each reader still walks, around a large body.
bool readDeepestAccepted(Stopwatch& clock, size_t size)
{
    const std::string body(size, 'x');
    const std::string configuration = "<?xml version=\"1.0\"?>" + nested(XmlDocument::maxDepth, body);
    std::vector<char> feed = writable(nested(XmlJsonConverter::maxNestingDepth, body));
    clock.start();
    const XmlDocument document(configuration.c_str(), XmlDocument::sourceText);
    if (document.status() != XmlDocument::loaded)
        return false;
    XmlJsonConverter converter;
    return convertFeedBody(converter, feed.data()) != nullptr;
}

// A page may ask for a "mem" address of any length.
bool rewriteLongAddress(Stopwatch& clock, size_t size)
{
    std::string address;
    while (address.size() < size)
        address += "mem://h/?u=mem://x&callback=c";
    const CString original(address);
    clock.start();
    const CString rewritten = rewriteMemAddress(original);
    return rewritten.Find("mem://") < 0 && rewritten.GetLength() > static_cast<int>(size);
}

struct Case {
    const char* name;
    const char* input;
    double boundSeconds;
    std::function<bool(Stopwatch&)> run;
};

const Case cases[] = {
    {"configuration", "5 MB configuration of addresses", 2.0, [](Stopwatch& c) { return readConfiguration(c, 5 * megabyte); }},
    {"wide-element", "element with 300,000 children, texts, comments, CDATA sections and attributes", 3.0,
     [](Stopwatch& c) { return readWideDocument(c, 300000); }},
    {"feed", "50 MB feed", 5.0, [](Stopwatch& c) { return convertFeed(c, 50 * megabyte); }},
    {"arriving-feed", "50 MB feed in chunks, and a 10 MB markup in 1 KB chunks", 5.0,
     [](Stopwatch& c) { return convertArrivingFeed(c, 50 * megabyte); }},
    {"deep-nesting", "100,000-deep nesting", 2.0, [](Stopwatch& c) { return readDeepNesting(c, 100000); }},
    {"deepest-accepted", "deepest accepted nesting around 5 MB of text", 2.0,
     [](Stopwatch& c) { return readDeepestAccepted(c, 5 * megabyte); }},
    {"mem-address", "2 MB \"mem\" address", 0.5, [](Stopwatch& c) { return rewriteLongAddress(c, 2 * megabyte); }},
};

struct Outcome {
    const Case* test;
    bool passed;
    double seconds;
};

void* runCase(void* argument)
{
    Outcome& outcome = *static_cast<Outcome*>(argument);
    Stopwatch clock;
    outcome.passed = outcome.test->run(clock);
    outcome.seconds = clock.seconds();
    return nullptr;
}

bool selected(const Case& test, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], test.name) == 0)
            return true;
    }
    return argc == 1;
}

} // namespace

int main(int argc, char** argv)
{
    int failures = 0;
    for (const Case& test : cases) {
        if (!selected(test, argc, argv))
            continue;
        Outcome outcome{&test, false, 0};
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, stackSize);
        pthread_t thread;
        if (pthread_create(&thread, &attributes, runCase, &outcome) != 0 || pthread_join(thread, nullptr) != 0)
            return 2;
        pthread_attr_destroy(&attributes);
        const bool inTime = outcome.seconds <= test.boundSeconds;
        std::printf("%-17s %-80s %6.2f s (bound %4.1f s) %s\n", test.name, test.input, outcome.seconds,
                    test.boundSeconds, !outcome.passed ? "WRONG RESULT" : inTime ? "ok" : "TOO SLOW");
        failures += !outcome.passed || !inTime;
    }
    return failures == 0 ? 0 : 1;
}
