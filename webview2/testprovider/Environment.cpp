#include "webview2/testprovider/Environment.h"

#include "webview2/testprovider/Controller.h"
#include "webview2/common/Dispatcher.h"
#include "webview2/testprovider/Journal.h"

#include <atomic>
#include <cstdio>

namespace {

std::atomic<int> viewCount{0};

std::string windowText(HWND window)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

} // namespace

Environment::Environment(int ordinal, std::shared_ptr<const Knobs> knobs)
    : who("env" + std::to_string(ordinal)), knobs(std::move(knobs))
{
}

HRESULT Environment::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2Environment>(riid);
}

HRESULT Environment::CreateCoreWebView2Controller(HWND parentWindow,
                                                  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler)
{
    ViewContext context;
    context.ordinal = ++viewCount;
    context.who = "view" + std::to_string(context.ordinal);
    context.knobs = knobs;
    context.dispatcher = dispatcher::current();
    const HRESULT immediate = context.hresult("create_controller_hr");
    const HRESULT completed = context.hresult("controller_completed_hr");
    journal(who, "CreateCoreWebView2Controller",
            {{"view", std::to_string(context.ordinal)}, {"parent", windowText(parentWindow)},
             {"result", hresultText(immediate)}, {"completed", hresultText(completed)}});
    if (FAILED(immediate))
        return immediate;
    if (!handler || !IsWindow(parentWindow))
        return E_INVALIDARG;
    if (!context.dispatcher)
        return E_FAIL;
    Controller* controller = nullptr;
    if (SUCCEEDED(completed)) {
        controller = Controller::Create(context, parentWindow);
        if (!controller)
            return E_FAIL;
    }
    handler->AddRef();
    dispatcher::post(context.dispatcher, context.delay("controller_delay_ms"), [context, handler, controller, completed] {
        journal(context.who, "raise:ControllerCompleted", {{"result", hresultText(completed)}});
        handler->Invoke(completed, controller);
        handler->Release();
        if (controller)
            controller->Release();
    });
    return S_OK;
}
