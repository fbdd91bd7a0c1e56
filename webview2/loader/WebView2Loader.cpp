#include "webview2/loader/WebView2Loader.h"

#include "framework/CString.h"
#include "webview2/include/WebView2.h"

#include <algorithm>

namespace {

std::string providerPathOverride;
bool providerLoaded = false;

std::string defaultProviderPath()
{
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    const CString path(program, static_cast<int>(length));
    const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    return path.Left(slash + 1).str() + WEBVIEW2_PROVIDER_FILE;
}

// The outcome of the one load: the entry, or the failure every call reports.
struct Provider {
    QuorvelCreateEnvironmentProc create = nullptr;
    HRESULT failure = S_OK;
};

Provider loadProvider()
{
    const std::string path = providerPathOverride.empty() ? defaultProviderPath() : providerPathOverride;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return {nullptr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)};
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        return {nullptr, HRESULT_FROM_WIN32(GetLastError())};
    auto create = reinterpret_cast<QuorvelCreateEnvironmentProc>(GetProcAddress(module, "QuorvelCreateEnvironment"));
    if (!create)
        return {nullptr, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)};
    return {create, S_OK};
}

} // namespace

void setWebView2ProviderPath(const std::string& path)
{
    providerPathOverride = path;
    providerLoaded = false;
}

STDAPI CreateCoreWebView2EnvironmentWithOptions(PCWSTR browserExecutableFolder, PCWSTR userDataFolder,
                                                ICoreWebView2EnvironmentOptions* environmentOptions,
                                                ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    static Provider provider;
    if (!providerLoaded) {
        provider = loadProvider();
        providerLoaded = true;
    }
    if (!provider.create)
        return provider.failure;
    return provider.create(browserExecutableFolder, userDataFolder, environmentOptions, handler);
}
