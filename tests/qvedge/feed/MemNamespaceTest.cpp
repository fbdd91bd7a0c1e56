#include "qvedge/feed/MemNamespace.h"

#include <string>

#include <gtest/gtest.h>

#include "framework/ComPtr.h"
#include "qvedge/app/QuorvelModule.h"
#include "tests/qvedge/support/FeedServer.h"

namespace {

// Collects what an asynchronous binding delivers, as a page's request would receive it.
class BindCallback : public IBindStatusCallback {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IBindStatusCallback))
            return E_NOINTERFACE;
        *out = static_cast<IBindStatusCallback*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR) override
    {
        stopResult = result;
        stopped = true;
        return S_OK;
    }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override
    {
        *flags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA;
        ULONG size = info->cbSize;
        ZeroMemory(info, size);
        info->cbSize = size;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override
    {
        if (medium->tymed != TYMED_ISTREAM)
            return S_OK;
        char chunk[1024];
        ULONG read = 0;
        while (SUCCEEDED(medium->pstm->Read(chunk, sizeof chunk, &read)) && read > 0)
            data.append(chunk, read);
        return S_OK;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    ULONG refs = 1;
    bool stopped = false;
    HRESULT stopResult = E_PENDING;
    std::string data;
};

class MemNamespaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        // S_FALSE when an earlier test of the process left the thread initialised.
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        if (feedServerMemAddress("").empty())
            GTEST_SKIP() << "no feed server: run through ctest";
        ASSERT_TRUE(trustFeedServerCertificate());
        ASSERT_TRUE(registerMemNamespace(session, factory));
        ASSERT_TRUE(session);
        ASSERT_TRUE(factory);
    }
    void TearDown() override
    {
        unregisterMemNamespace(session, factory);
        EXPECT_FALSE(session);
        EXPECT_FALSE(factory);
        OleUninitialize();
    }

    // Binds the address asynchronously and pumps messages until the binding stops.
    HRESULT bind(const std::string& address, BindCallback& callback)
    {
        std::wstring wideAddress(address.begin(), address.end());
        ComPtr<IMoniker> moniker;
        HRESULT hr = CreateURLMonikerEx(nullptr, wideAddress.c_str(), moniker.ReleaseAndGetAddressOf(), URL_MK_UNIFORM);
        if (FAILED(hr))
            return hr;
        ComPtr<IBindCtx> context;
        hr = CreateAsyncBindCtx(0, &callback, nullptr, context.ReleaseAndGetAddressOf());
        if (FAILED(hr))
            return hr;
        ComPtr<IStream> stream;
        hr = moniker->BindToStorage(context.Get(), nullptr, IID_IStream, reinterpret_cast<void**>(stream.ReleaseAndGetAddressOf()));
        if (FAILED(hr))
            return hr;
        DWORD deadline = GetTickCount() + 20000;
        MSG msg;
        while (!callback.stopped && GetTickCount() < deadline) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return callback.stopped ? callback.stopResult : E_PENDING;
    }

    ComPtr<IInternetSession> session;
    ComPtr<IClassFactory> factory;
};

TEST_F(MemNamespaceTest, PageRequestReceivesTheFeedAsJson)
{
    BindCallback callback;
    EXPECT_EQ(S_OK, bind(feedServerMemAddress("/echo?a=1&callback=cb7&b=2"), callback));
    EXPECT_EQ(std::string(R"(json_decode({"r":{"path":"\/echo?a=1&b=2"}}))") + '\0', callback.data);
}

TEST_F(MemNamespaceTest, RequestsEndWithoutObjectsLeft)
{
    BindCallback callback;
    EXPECT_EQ(S_OK, bind(feedServerMemAddress("/echo"), callback));
    unregisterMemNamespace(session, factory);
    CoFreeUnusedLibraries();
    EXPECT_EQ(0, theModule.GetLockCount());
}

TEST(MemNamespaceRemovalTest, NothingRegisteredIsSafe)
{
    ComPtr<IInternetSession> session;
    ComPtr<IClassFactory> factory;
    unregisterMemNamespace(session, factory);
    EXPECT_FALSE(session);
    EXPECT_FALSE(factory);
}

} // namespace
