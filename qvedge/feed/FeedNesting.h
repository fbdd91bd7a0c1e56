#pragma once
// A cheap scan that bounds how deep rapidxml's parse of a body would recurse. Windows-free.

// False when the element nesting of a NUL-terminated body, read the way rapidxml reads it with
// the default flags, goes deeper than maxDepth. Where rapidxml would reject the body the scan
// stops and answers true: the parse throws there before it nests any deeper.
bool nestingWithin(const char* body, int maxDepth);
