// The scripted WebView2 runtime of the tests: every call journaled, every outcome set by
// knobs (webview2/testprovider/Knobs.h, Journal.h).
#include "webview2/include/WebView2.h"
#include "webview2/common/Dispatcher.h"
#include "webview2/testprovider/Environment.h"
#include "webview2/testprovider/Journal.h"
#include "webview2/testprovider/Knobs.h"

#include <atomic>

namespace {

std::atomic<int> environmentCount{0};

std::string readKnobFile()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QV_RUNTIME_KNOBS", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return "";
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::string optionText(ICoreWebView2EnvironmentOptions* options,
                       HRESULT (STDMETHODCALLTYPE ICoreWebView2EnvironmentOptions::*getter)(LPWSTR*))
{
    LPWSTR value = nullptr;
    if (!options || FAILED((options->*getter)(&value)))
        return "";
    std::string text = utf8(value);
    CoTaskMemFree(value);
    return text;
}

} // namespace

extern "C" HRESULT STDMETHODCALLTYPE QuorvelCreateEnvironment(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler)
{
    const int ordinal = ++environmentCount;
    auto knobs = std::make_shared<const Knobs>(Knobs::parse(readKnobFile()));
    const std::string who = "env" + std::to_string(ordinal);
    const auto immediate = static_cast<HRESULT>(knobs->number("create_environment_hr", ordinal, S_OK));
    const auto completed = static_cast<HRESULT>(knobs->number("environment_completed_hr", ordinal, S_OK));
    journal(who, "CreateEnvironment",
            {{"browserFolder", utf8(browserExecutableFolder)},
             {"userDataFolder", utf8(userDataFolder)},
             {"targetVersion",
              optionText(environmentOptions, &ICoreWebView2EnvironmentOptions::get_TargetCompatibleBrowserVersion)},
             {"arguments",
              optionText(environmentOptions, &ICoreWebView2EnvironmentOptions::get_AdditionalBrowserArguments)},
             {"result", hresultText(immediate)},
             {"completed", hresultText(completed)}});
    if (FAILED(immediate))
        return immediate;
    if (!handler)
        return E_INVALIDARG;
    const HWND window = dispatcher::current();
    if (!window)
        return E_FAIL;
    Environment* environment = SUCCEEDED(completed) ? new Environment(ordinal, knobs) : nullptr;
    handler->AddRef();
    dispatcher::post(window, knobs->milliseconds("environment_delay_ms", ordinal),
                     [who, handler, environment, completed] {
                         journal(who, "raise:EnvironmentCompleted", {{"result", hresultText(completed)}});
                         handler->Invoke(completed, environment);
                         handler->Release();
                         if (environment)
                             environment->Release();
                     });
    return S_OK;
}
