#include "qvedge/views/edge/WebView2Wrapper.h"

#include "common/Logger.h"
#include "framework/TextConversion.h"
#include "qvedge/feed/FeedBody.h"
#include "qvedge/feed/MemAddress.h"
#include "qvedge/res/resource.h"

#include <cstring>
#include <limits>
#include <new>

// The page's "mem" feed requests, fetched synchronously on the user-interface thread.

bool WebView2Wrapper::getMemPage(const wchar_t* address)
{
    if (!address)
        return false;
    // Whatever the fetch or the conversion raises, a huge body included, ends here: the
    // request is then dropped like one that could not be fetched.
    try {
        const CString narrow = narrowFromWide(address);
        QVLOG("WebView2Wrapper::getMemPage(" << narrow << ")");
        const CString url = rewriteMemAddress(narrow);
        QVLOG("Replace mem: with https:");
        QVLOG("Final URL: " << url);
        return fetchFeed(url);
    } catch (...) {
        return false;
    }
}

bool WebView2Wrapper::fetchFeed(const CString& address)
{
    // The request before its session: WinINet frees a session's requests with it.
    if (httpFile)
        httpFile->Close();
    httpFile.reset();
    if (internetSession)
        internetSession->Close();
    internetSession.reset();

    CString userAgent;
    userAgent.LoadString(IDS_USER_AGENT);
    try {
        internetSession.reset(new CInternetSession(userAgent, FEED_REQUEST_CONTEXT, INTERNET_OPEN_TYPE_PRECONFIG,
                                                   nullptr, nullptr, 0));
        httpFile.reset(internetSession->OpenURL(address, FEED_REQUEST_CONTEXT, INTERNET_FLAG_TRANSFER_ASCII,
                                                nullptr, 0));
    } catch (const CInternetException&) {
        return false;
    }
    if (!httpFile)
        return false;

    FeedBody body;
    std::unique_ptr<char[]> chunk(new char[FeedBody::readChunkSize]);
    while (UINT read = httpFile->Read(chunk.get(), FeedBody::readChunkSize))
        body.append(chunk.get(), read);
    const std::string* json = body.convert(converter);
    if (!json || json->size() >= std::numeric_limits<std::uint32_t>::max())
        return false;

    const std::uint32_t size = static_cast<std::uint32_t>(json->size() + 1);
    std::unique_ptr<char[]> text(new char[size]);
    std::memcpy(text.get(), json->c_str(), size);
    pageBuffer = std::move(text);
    pageSize = size;
    pageCursor = pageBuffer.get();
    return true;
}
