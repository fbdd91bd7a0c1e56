#pragma once
// The pluggable protocol that answers "mem://" addresses for the Internet Explorer engine:
// it fetches the https:// address, converts the XML body and hands out the JSON call text.
#include <memory>
#include <string>

#include "framework/AtlCom.h"
#include "framework/CString.h"
#include "framework/ComPtr.h"
#include "framework/InternetSession.h"
#include "framework/Win.h"
#include <urlmon.h>

#include "qvedge/feed/FeedBody.h"
#include "qvedge/feed/XmlJsonConverter.h"

class CQuorvelProtocol : public IInternetProtocol, public ATL::CComObjectRootEx<ATL::CComSingleThreadModel> {
public:
    static constexpr DWORD_PTR requestContext = 1;
    static constexpr DWORD reportDataFlags =
        BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION | BSCF_DATAFULLYAVAILABLE;

    STDMETHODIMP Start(LPCWSTR url, IInternetProtocolSink* protocolSink, IInternetBindInfo* bindInfo,
                       DWORD flags, HANDLE_PTR reserved) override;
    STDMETHODIMP Continue(PROTOCOLDATA* data) override;
    STDMETHODIMP Abort(HRESULT reason, DWORD options) override;
    STDMETHODIMP Terminate(DWORD options) override;
    STDMETHODIMP Suspend() override;
    STDMETHODIMP Resume() override;
    STDMETHODIMP Read(void* destination, ULONG count, ULONG* countRead) override;
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    STDMETHODIMP LockRequest(DWORD options) override;
    STDMETHODIMP UnlockRequest() override;

protected:
    CQuorvelProtocol() = default;
    ~CQuorvelProtocol();
    void* GetInterface(REFIID iid);

private:
    HRESULT fetchAndConvert(const CString& address);
    bool readBody(FeedBody& body);

    ComPtr<IInternetProtocolSink> sink;
    std::unique_ptr<CInternetSession> session;
    std::unique_ptr<CHttpFile> file;
    std::unique_ptr<char[]> buffer;
    ULONG size = 0;
    const char* cursor = nullptr;
    XmlJsonConverter converter;
};

// The class factory of the protocol, with one reference in *factory; E_POINTER for a null
// factory, E_OUTOFMEMORY when it cannot be made.
HRESULT createProtocolClassFactory(IClassFactory** factory);
