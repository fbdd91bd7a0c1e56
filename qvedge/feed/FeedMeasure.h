#pragma once
// The one scan of a fetched body ahead of rapidxml's parse: it measures the body for the
// converter's buffer and, on the way, bounds how deep the parse would recurse. Windows-free.
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

FeedMeasure measureFeed(const char* body, int maxDepth);
