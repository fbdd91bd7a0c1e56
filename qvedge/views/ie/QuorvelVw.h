#pragma once
#include "framework/CString.h"
#include "framework/CWnd.h"

// One Internet Explorer view of the show. Its browser control comes with the engine's
// views; until then it is a plain window that navigates nowhere.
class CQuorvelVw : public CWnd {
public:
    virtual void Navigate2(const CString& address) {}

    int viewNumber = 0;
};
