#pragma once
// The configuration fields and address-list operations that the display reads. The
// configuration record gains them with its document parse; until then each is a value
// of its own here with the record's initial value, and the address list is empty.
#include "CString.h"

inline int& confMode()
{
    static int mode = 0;
    return mode;
}

inline int& confShowFooter()
{
    static int showFooter = 0;
    return showFooter;
}

inline CString& confFooterTitle()
{
    static CString title;
    return title;
}

inline CString& confFooterHref()
{
    static CString href;
    return href;
}

inline CString& confDataFolder()
{
    static CString folder;
    return folder;
}

inline CString& confSelectedFolder()
{
    static CString folder;
    return folder;
}

inline CString& confAuthor()
{
    static CString author;
    return author;
}

inline void confAdvanceUrl() {}

inline CString confCurrentUrl()
{
    return CString();
}

inline CString confReachableUrl()
{
    return CString();
}
