#include "qvedge/feed/QuorvelProtocol.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CWinApp.h"
#include "framework/ComPtr.h"
#include "qvedge/app/QuorvelModule.h"
#include "tests/qvedge/support/FeedServer.h"

namespace {

// A sink of the test's own: records what the protocol reports.
class RecordingSink : public IInternetProtocolSink {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IInternetProtocolSink))
            return E_NOINTERFACE;
        *out = static_cast<IInternetProtocolSink*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP Switch(PROTOCOLDATA*) override { return S_OK; }
    STDMETHODIMP ReportProgress(ULONG, LPCWSTR) override { return S_OK; }
    STDMETHODIMP ReportData(DWORD flags, ULONG progress, ULONG progressMax) override
    {
        dataReports.push_back({flags, progress, progressMax});
        return S_OK;
    }
    STDMETHODIMP ReportResult(HRESULT result, DWORD, LPCWSTR) override
    {
        results.push_back(result);
        return S_OK;
    }

    struct DataReport { DWORD flags; ULONG progress, progressMax; };
    ULONG refs = 1;
    std::vector<DataReport> dataReports;
    std::vector<HRESULT> results;
};

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

ComPtr<IInternetProtocol> createProtocol()
{
    ComPtr<IClassFactory> factory;
    ComPtr<IInternetProtocol> protocol;
    if (SUCCEEDED(createProtocolClassFactory(factory.ReleaseAndGetAddressOf())))
        factory->CreateInstance(nullptr, IID_IInternetProtocol, reinterpret_cast<void**>(protocol.ReleaseAndGetAddressOf()));
    return protocol;
}

// Reads everything the protocol hands out, count bytes at a time.
std::string readAll(IInternetProtocol* protocol, ULONG count, HRESULT& last)
{
    std::string data;
    std::vector<char> chunk(count);
    ULONG read = 0;
    while ((last = protocol->Read(chunk.data(), count, &read)) == S_OK)
        data.append(chunk.data(), read);
    EXPECT_EQ(0u, read);
    return data;
}

class QuorvelProtocolFetchTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (feedServerMemAddress("").empty())
            GTEST_SKIP() << "no feed server: run through ctest";
        ASSERT_TRUE(trustFeedServerCertificate());
        protocol = createProtocol();
        ASSERT_TRUE(protocol);
    }

    HRESULT start(const std::string& path)
    {
        return protocol->Start(wide(feedServerMemAddress(path)).c_str(), &sink, nullptr, 0, 0);
    }

    // The JSON text as the page receives it, without its NUL.
    std::string fetch(const std::string& path)
    {
        EXPECT_EQ(S_OK, start(path));
        HRESULT last = S_OK;
        std::string data = readAll(protocol.Get(), 4096, last);
        EXPECT_EQ(S_FALSE, last);
        EXPECT_FALSE(data.empty());
        EXPECT_EQ('\0', data.empty() ? 'x' : data.back());
        return data.empty() ? data : data.substr(0, data.size() - 1);
    }

    RecordingSink sink;
    ComPtr<IInternetProtocol> protocol;
};

TEST_F(QuorvelProtocolFetchTest, CallbackBetweenParametersIsDropped)
{
    EXPECT_EQ(R"(json_decode({"r":{"path":"\/echo?a=1&b=2"}}))", fetch("/echo?a=1&callback=cb7&b=2"));
}

TEST_F(QuorvelProtocolFetchTest, CallbackAtTheEndIsKept)
{
    EXPECT_EQ(R"(json_decode({"r":{"path":"\/echo?a=1&callback=cb7"}}))", fetch("/echo?a=1&callback=cb7"));
}

TEST_F(QuorvelProtocolFetchTest, ErrorPageIsConverted)
{
    EXPECT_EQ(R"(json_decode({"error":{"code":"404"}}))", fetch("/missing"));
}

TEST_F(QuorvelProtocolFetchTest, NulByteEndsItsChunkOnly)
{
    EXPECT_EQ(R"(json_decode({"r":{"a":"1","b":"2"}}))", fetch("/nul"));
}

TEST_F(QuorvelProtocolFetchTest, DataIsAnnouncedOnceAsComplete)
{
    fetch("/echo");
    ASSERT_EQ(1u, sink.dataReports.size());
    EXPECT_EQ(13u, sink.dataReports[0].flags);
    EXPECT_EQ(1u, sink.dataReports[0].progress);
    EXPECT_EQ(1u, sink.dataReports[0].progressMax);
}

TEST_F(QuorvelProtocolFetchTest, ReadsOf4096BytesThenEndWithReportResult)
{
    std::string expected = R"(json_decode({"r":{"i":[)";
    for (int i = 0; i < 2000; ++i)
        expected += (i ? ",\"" : "\"") + std::to_string(i) + "\"";
    expected += "]}})";
    expected += '\0';
    ASSERT_EQ(S_OK, start("/big"));
    ASSERT_GT(expected.size(), 3 * 4096u);
    std::vector<char> chunk(4096);
    std::string data;
    ULONG read = 0;
    while (protocol->Read(chunk.data(), 4096, &read) == S_OK) {
        EXPECT_TRUE(read == 4096 || data.size() + read == expected.size());
        data.append(chunk.data(), read);
    }
    EXPECT_EQ(0u, read);
    EXPECT_EQ(expected, data);
    EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, sink.results);
}

TEST_F(QuorvelProtocolFetchTest, ReadOfZeroBytesEndsTheStream)
{
    ASSERT_EQ(S_OK, start("/echo"));
    char byte = 0;
    ULONG read = 7;
    EXPECT_EQ(S_FALSE, protocol->Read(&byte, 0, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(std::vector<HRESULT>{S_FALSE}, sink.results);
}

TEST_F(QuorvelProtocolFetchTest, SinkIsHeldUntilTerminate)
{
    ASSERT_EQ(S_OK, start("/echo"));
    EXPECT_EQ(2u, sink.refs);
    EXPECT_EQ(S_OK, protocol->Terminate(0));
    EXPECT_EQ(1u, sink.refs);
}

struct FailedFetchCase {
    const char* name;
    const char* address;
};

class QuorvelProtocolFailedFetchTest : public QuorvelProtocolFetchTest,
                                       public testing::WithParamInterface<FailedFetchCase> {};

// Nothing is reported, the sink is not kept, and Read has nothing to hand out.
TEST_P(QuorvelProtocolFailedFetchTest, FallsBackToTheDefaultHandler)
{
    std::string address = GetParam().address;
    if (address[0] == '/')
        address = feedServerMemAddress(address);
    EXPECT_EQ(INET_E_USE_DEFAULT_PROTOCOLHANDLER, protocol->Start(wide(address).c_str(), &sink, nullptr, 0, 0));
    EXPECT_TRUE(sink.dataReports.empty());
    EXPECT_EQ(1u, sink.refs);
    char byte;
    ULONG read = 7;
    EXPECT_EQ(E_POINTER, protocol->Read(&byte, 1, &read));
}

const FailedFetchCase failedFetchCases[] = {
    {"UnreachablePort", "mem://localhost:1/feed"},
    {"MalformedXml", "/malformed"},
};

INSTANTIATE_TEST_SUITE_P(Bodies, QuorvelProtocolFailedFetchTest, testing::ValuesIn(failedFetchCases),
                         [](const testing::TestParamInfo<FailedFetchCase>& info) { return std::string(info.param.name); });

TEST(QuorvelProtocolTest, NullArgumentsGiveEPointer)
{
    ComPtr<IInternetProtocol> protocol = createProtocol();
    ASSERT_TRUE(protocol);
    RecordingSink sink;
    EXPECT_EQ(E_POINTER, protocol->Start(nullptr, &sink, nullptr, 0, 0));
    EXPECT_EQ(E_POINTER, protocol->Start(L"mem://localhost/x", nullptr, nullptr, 0, 0));
    char byte;
    ULONG read;
    EXPECT_EQ(E_POINTER, protocol->Read(&byte, 1, &read));
    EXPECT_EQ(E_POINTER, protocol->Read(&byte, 1, nullptr));
}

TEST(QuorvelProtocolTest, SlotResults)
{
    ComPtr<IInternetProtocol> protocol = createProtocol();
    ASSERT_TRUE(protocol);
    EXPECT_EQ(S_OK, protocol->Continue(nullptr));
    EXPECT_EQ(S_OK, protocol->Abort(E_FAIL, 0));
    EXPECT_EQ(S_OK, protocol->Terminate(0));
    EXPECT_EQ(E_NOTIMPL, protocol->Suspend());
    EXPECT_EQ(E_NOTIMPL, protocol->Resume());
    EXPECT_EQ(E_NOTIMPL, protocol->Seek(LARGE_INTEGER{}, 0, nullptr));
    EXPECT_EQ(S_OK, protocol->LockRequest(0));
    EXPECT_EQ(S_OK, protocol->UnlockRequest());
}

TEST(QuorvelProtocolTest, AnswersOnlyUnknownAndInternetProtocol)
{
    ComPtr<IInternetProtocol> protocol = createProtocol();
    ASSERT_TRUE(protocol);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, protocol->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.ReleaseAndGetAddressOf())));
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, protocol->QueryInterface(IID_IInternetProtocolRoot, &other));
    EXPECT_EQ(nullptr, other);
}

TEST(QuorvelProtocolTest, EveryLiveObjectLocksTheModule)
{
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, createProtocolClassFactory(factory.ReleaseAndGetAddressOf()));
        EXPECT_EQ(1, theModule.GetLockCount());
        ComPtr<IInternetProtocol> protocol;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IInternetProtocol,
                                                reinterpret_cast<void**>(protocol.ReleaseAndGetAddressOf())));
        EXPECT_EQ(2, theModule.GetLockCount());
        EXPECT_EQ(2, AfxGetApp()->oleObjectCount);
        EXPECT_EQ(S_OK, factory->LockServer(TRUE));
        EXPECT_EQ(3, theModule.GetLockCount());
        EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    }
    EXPECT_EQ(0, theModule.GetLockCount());
}

TEST(QuorvelProtocolTest, FactoryArguments)
{
    EXPECT_EQ(E_POINTER, createProtocolClassFactory(nullptr));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, createProtocolClassFactory(factory.ReleaseAndGetAddressOf()));
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IInternetProtocol, nullptr));
    RecordingSink outer;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IInternetProtocol, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IInternetProtocolRoot, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(1, theModule.GetLockCount());
}

// The aggregated object's interfaces count on the outer unknown; its own IUnknown does not.
TEST(QuorvelProtocolTest, AggregatedObjectForwardsToTheOuterUnknown)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, createProtocolClassFactory(factory.ReleaseAndGetAddressOf()));
    RecordingSink outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(1u, outer.refs);
    IInternetProtocol* protocol = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IInternetProtocol, reinterpret_cast<void**>(&protocol)));
    EXPECT_EQ(2u, outer.refs);
    void* sinkInterface = nullptr;
    EXPECT_EQ(S_OK, protocol->QueryInterface(IID_IInternetProtocolSink, &sinkInterface));
    EXPECT_EQ(static_cast<IInternetProtocolSink*>(&outer), sinkInterface);
    protocol->Release();
    protocol->Release();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(2, theModule.GetLockCount());
    EXPECT_EQ(0u, inner->Release());
    EXPECT_EQ(1, theModule.GetLockCount());
}

} // namespace
