#pragma once
// Comparing and printing RECTs in test expectations.
#include "framework/Win.h"

#include <ostream>

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
