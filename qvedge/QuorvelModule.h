#pragma once
#include "Win.h"

// The program's COM module object; it registers no class objects yet.
class CQuorvelModule {
public:
    HRESULT RevokeClassObjects() { return S_OK; }
};
