// A view's own navigation to a "mem://" address reaches the program's protocol handler,
// registered for the process as the show registers it.
#include "qvedge/views/ie/QuorvelVw.h"

#include "framework/CView.h"
#include "qvedge/feed/QuorvelProtocol.h"
#include "tests/framework/support/BrowserProbe.h"
#include "tests/qvedge/support/FeedServer.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/OleThread.h"

#include <gtest/gtest.h>
#include <urlmon.h>

#include <memory>
#include <string>

namespace {

// The protocol's class factory, counting the instances the control asks it for.
class CountingFactory : public IClassFactory {
public:
    explicit CountingFactory(IClassFactory* inner) { this->inner.Reset(inner); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack; the session lets it go at unregistration.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        ++instances;
        return inner->CreateInstance(outer, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override { return inner->LockServer(lock); }

    int instances = 0;

private:
    ComPtr<IClassFactory> inner;
};

TEST(QuorvelVwFeedTest, TopLevelMemNavigationIsServedByTheProtocol)
{
    OleThread ole;
    ASSERT_EQ(S_OK, ole.result);
    if (feedServerMemAddress("").empty())
        GTEST_SKIP() << "no feed server: run through ctest";
    ASSERT_TRUE(trustFeedServerCertificate());
    ComPtr<IClassFactory> protocolFactory;
    ASSERT_EQ(S_OK, createProtocolClassFactory(protocolFactory.ReleaseAndGetAddressOf()));
    CountingFactory factory(protocolFactory.Get());
    ComPtr<IInternetSession> session;
    ASSERT_EQ(S_OK, CoInternetGetSession(0, session.ReleaseAndGetAddressOf(), 0));
    ASSERT_EQ(S_OK, session->RegisterNameSpace(&factory, CLSID_NULL, L"mem", 0, nullptr, 0));

    LogCapture log;
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "dialog", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CQuorvelVw);
    std::unique_ptr<CQuorvelVw> view(static_cast<CQuorvelVw*>(CreateView(&parent, &context)));
    ASSERT_TRUE(view);
    view->Navigate2(feedServerMemAddress("/echo?view=1").c_str());
    // Without an HTML engine the control ends every page with a navigation error, which
    // shows the view.
    pumpUntil([&] { return shown(view->m_hWnd); });
    EXPECT_GE(factory.instances, 1);
    EXPECT_TRUE(shown(view->m_hWnd));
    // The status Wine's control gives once the protocol has handed over its data.
    EXPECT_TRUE(log.has("QuorvelVw.cpp\tOnNavigateError\tView #0 CQuorvelVw::OnNavigateError = 2147746132"));
    view.reset();
    parent.DestroyWindow();
    EXPECT_EQ(S_OK, session->UnregisterNameSpace(&factory, L"mem"));
}

} // namespace
