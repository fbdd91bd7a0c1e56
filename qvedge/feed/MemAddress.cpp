#include "qvedge/feed/MemAddress.h"

namespace {

const char memScheme[] = "mem://";
const char httpsScheme[] = "https://";
const char callbackParameter[] = "&callback=";

} // namespace

CString rewriteMemAddress(const CString& address)
{
    CString result = address;
    result.Replace(memScheme, httpsScheme);
    int callback = result.Find(callbackParameter);
    int next = callback < 0 ? -1 : result.Find('&', callback + 1);
    if (next >= 0)
        result = result.Left(callback) + result.Mid(next);
    return result;
}
