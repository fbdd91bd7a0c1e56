#include "tests/CodePage932.h"
#include "tests/ProgramCopy.h"
#include "tests/webview2/ProviderSession.h"
#include "webview2/include/WebView2Callback.h"
#include "webview2/loader/WebView2Loader.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace webview2test;

namespace {

HRESULT createThrough(const std::string& providerPath)
{
    setWebView2ProviderPath(providerPath);
    bool called = false;
    auto* handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [&](HRESULT, ICoreWebView2Environment*) {
            called = true;
            return S_OK;
        });
    const HRESULT result = CreateCoreWebView2EnvironmentWithOptions(nullptr, L"C:\\data", nullptr, handler);
    pumpFor(50);
    handler->Release();
    setWebView2ProviderPath("");
    EXPECT_FALSE(called && FAILED(result)) << "a refused creation completes nevertheless";
    return result;
}

} // namespace

// The unit tests' own folder holds no provider, so the program's default road finds none.
TEST(WebView2Loader, NoProviderBesideTheTestsGivesFileNotFound)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), createThrough(""));
}

// The default road from a program whose name begins with a letter whose trail byte is a
// backslash: the provider is looked for in the program's folder, not in a cut name.
class CodePage932LoaderTest : public CodePage932Test {};

TEST_F(CodePage932LoaderTest, FindsTheProviderBesideAProgramOfThatName)
{
    workspaceProvider();
    const ProgramCopy copy(workspaceFolder() + SOFUTO ".exe");
    ASSERT_TRUE(copy.made);
    EXPECT_TRUE(copy.passes("WebView2Loader.FindsTheProviderBesideItsProgramWhenAsked", "QV_PROVIDER_BESIDE", "1"));
}

// Runs inside the copy started above, which lies beside a provider; a plain run has none.
TEST(WebView2Loader, FindsTheProviderBesideItsProgramWhenAsked)
{
    if (!GetEnvironmentVariableA("QV_PROVIDER_BESIDE", nullptr, 0))
        GTEST_SKIP() << "only meaningful in a copy started by another case";
    ProviderSession session;
    EXPECT_EQ(S_OK, createThrough(""));
}

TEST(WebView2Loader, MissingFileGivesFileNotFound)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), createThrough(workspaceFolder() + "absent\\QuorvelRuntime.dll"));
}

TEST(WebView2Loader, DllWithoutTheEntryGivesProcNotFound)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), createThrough(QV_NOEXPORT_DLL));
}

TEST(WebView2Loader, FileThatIsNoDllGivesTheLoadError)
{
    const std::string path = workspaceFolder() + "not-a-dll.dll";
    std::ofstream(path, std::ios::binary) << "this is plain text, not a module\r\n";
    // The loader's own error, seen by loading the same file directly.
    ASSERT_EQ(nullptr, LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    const HRESULT expected = HRESULT_FROM_WIN32(GetLastError());
    ASSERT_TRUE(FAILED(expected));
    EXPECT_EQ(expected, createThrough(path));
    DeleteFileA(path.c_str());
}

TEST(WebView2Loader, ProviderNamedInAWorkspaceCreatesTheEnvironment)
{
    ProviderSession session;
    HRESULT result = E_FAIL;
    ComPtr<ICoreWebView2Environment> environment = createEnvironment(&result);
    EXPECT_EQ(S_OK, result);
    EXPECT_TRUE(environment);
}

// The path is read again after it changes: the previous outcome is not kept.
TEST(WebView2Loader, ChangedPathLoadsAfresh)
{
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND), createThrough(QV_NOEXPORT_DLL));
    ProviderSession session;
    HRESULT result = E_FAIL;
    createEnvironment(&result);
    EXPECT_EQ(S_OK, result);
}
