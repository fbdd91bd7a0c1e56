#include "qvedge/feed/QuorvelProtocol.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "framework/TextConversion.h"
#include "qvedge/feed/MemAddress.h"
#include "qvedge/res/resource.h"

CQuorvelProtocol::~CQuorvelProtocol()
{
    // The request before its session: WinINet frees a session's requests with it.
    if (file)
        file->Close();
    if (session)
        session->Close();
}

void* CQuorvelProtocol::GetInterface(REFIID iid)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IInternetProtocol))
        return static_cast<IInternetProtocol*>(this);
    return nullptr;
}

STDMETHODIMP CQuorvelProtocol::Start(LPCWSTR url, IInternetProtocolSink* protocolSink, IInternetBindInfo*, DWORD,
                                     HANDLE_PTR)
{
    if (!url || !protocolSink)
        return E_POINTER;
    HRESULT hr;
    // Nothing may escape to the URL-moniker library.
    try {
        hr = fetchAndConvert(rewriteMemAddress(narrowFromWide(url)));
    } catch (const std::bad_alloc&) {
        hr = INET_E_USE_DEFAULT_PROTOCOLHANDLER;
    }
    if (FAILED(hr))
        return hr;
    if (sink.Get() != protocolSink)
        sink.Reset(protocolSink);
    // The sink may call Read from inside ReportData, so the buffer is ready first.
    sink->ReportData(reportDataFlags, 1, 1);
    return S_OK;
}

HRESULT CQuorvelProtocol::fetchAndConvert(const CString& address)
{
    CString userAgent;
    userAgent.LoadString(IDS_USER_AGENT);
    try {
        // A second Start: the earlier request goes before the session it belongs to.
        file.reset();
        session.reset(new CInternetSession(userAgent, requestContext, INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                           nullptr, 0));
        file.reset(session->OpenURL(address, requestContext, INTERNET_FLAG_TRANSFER_ASCII, nullptr, 0));
    } catch (const CInternetException&) {
        return INET_E_USE_DEFAULT_PROTOCOLHANDLER;
    }
    FeedBody body;
    if (!file || !readBody(body))
        return INET_E_USE_DEFAULT_PROTOCOLHANDLER;
    const std::string* json = body.convert(converter);
    if (!json)
        return INET_E_USE_DEFAULT_PROTOCOLHANDLER;
    size = static_cast<ULONG>(json->size() + 1);
    buffer.reset(new char[size]);
    std::memcpy(buffer.get(), json->c_str(), size);
    cursor = buffer.get();
    return S_OK;
}

bool CQuorvelProtocol::readBody(FeedBody& body)
{
    std::unique_ptr<char[]> chunk(new char[FeedBody::readChunkSize]);
    try {
        while (UINT read = file->Read(chunk.get(), FeedBody::readChunkSize))
            body.append(chunk.get(), read);
    } catch (const CInternetException&) {
        return false;
    }
    return true;
}

STDMETHODIMP CQuorvelProtocol::Continue(PROTOCOLDATA*)
{
    return S_OK;
}

STDMETHODIMP CQuorvelProtocol::Abort(HRESULT, DWORD)
{
    return S_OK;
}

STDMETHODIMP CQuorvelProtocol::Terminate(DWORD)
{
    sink.Reset();
    return S_OK;
}

STDMETHODIMP CQuorvelProtocol::Suspend()
{
    return E_NOTIMPL;
}

STDMETHODIMP CQuorvelProtocol::Resume()
{
    return E_NOTIMPL;
}

STDMETHODIMP CQuorvelProtocol::Read(void* destination, ULONG count, ULONG* countRead)
{
    if (countRead)
        *countRead = 0;
    if (!destination || !countRead || !buffer)
        return E_POINTER;
    ULONG left = size - static_cast<ULONG>(cursor - buffer.get());
    ULONG n = std::min(count, left);
    if (n > 0) {
        std::memcpy(destination, cursor, n);
        *countRead = n;
        cursor += n;
        return S_OK;
    }
    if (sink)
        sink->ReportResult(S_FALSE, 0, nullptr);
    return S_FALSE;
}

STDMETHODIMP CQuorvelProtocol::Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CQuorvelProtocol::LockRequest(DWORD)
{
    return S_OK;
}

STDMETHODIMP CQuorvelProtocol::UnlockRequest()
{
    return S_OK;
}

HRESULT createProtocolClassFactory(IClassFactory** factory)
{
    if (!factory)
        return E_POINTER;
    *factory = nullptr;
    using Factory = ATL::CComObject<ATL::CComClassFactory>;
    Factory* object = nullptr;
    try {
        object = new Factory();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    object->SetCreator(&ATL::CComCreator2<ATL::CComCreator<ATL::CComObject<CQuorvelProtocol>>,
                                          ATL::CComCreator<ATL::CComAggObject<CQuorvelProtocol>>>::CreateInstance);
    object->AddRef();
    HRESULT hr = object->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory));
    object->Release();
    return hr;
}
