#pragma once
// The scan of a fetched body ahead of rapidxml's parse: it measures the body for the
// converter's buffer and, on the way, bounds how deep the parse would recurse. It can follow
// the body as it arrives, so that each chunk is scanned while it is still in the cache.
// Windows-free.
#include <cstddef>

struct FeedMeasure {
    // False when the element nesting, read the way rapidxml reads it with the default flags,
    // goes deeper than the bound; the scan stops there and length is not measured. Where
    // rapidxml would reject the body the nesting counts as within: the parse throws there
    // before it nests any deeper.
    bool nestingWithin;
    // The bytes before the terminating NUL.
    std::size_t length;
};

class FeedScanner {
public:
    explicit FeedScanner(int maxDepth);
    // The body so far, NUL-terminated at size; later calls see the same text with more after
    // it (it may have moved).
    void advance(const char* body, std::size_t size);
    // The whole body, NUL-terminated.
    FeedMeasure finish(const char* body);

private:
    enum class State { Scanning, TooDeep, Rejected, Measured };
    void scan(const char* body, std::size_t size, bool last);

    const int maxDepth;
    State state = State::Scanning;
    int depth = 0;
    // Where the next scan starts: at text, or at the '<' of markup not yet complete; when
    // rejected, just past the '<' of the markup rapidxml throws at.
    std::size_t resumeAt = 0;
    // The size the text must reach before the next scan is worth it.
    std::size_t retryAt = 0;
    std::size_t length = 0;
};

FeedMeasure measureFeed(const char* body, int maxDepth);
