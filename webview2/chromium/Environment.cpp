#include "webview2/chromium/Environment.h"

#include "webview2/chromium/Controller.h"
#include "webview2/common/Dispatcher.h"

namespace {

// The page's first size when the host has none yet; the view's bounds set the real one.
constexpr int FIRST_PAGE_WIDTH = 800;
constexpr int FIRST_PAGE_HEIGHT = 600;

} // namespace

Environment::Environment(std::shared_ptr<Browser> browser) : browser(std::move(browser))
{
    this->browser->environmentMade();
}

Environment::~Environment()
{
    browser->environmentReleased();
}

HRESULT Environment::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2Environment>(riid);
}

HRESULT Environment::CreateCoreWebView2Controller(HWND parentWindow,
                                                  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler)
{
    if (!handler || !IsWindow(parentWindow))
        return E_INVALIDARG;
    const HWND ui = dispatcher::current();
    if (!ui)
        return E_FAIL;
    const std::shared_ptr<DevToolsConnection> connection = browser->connection();
    if (!connection || !connection->alive())
        return BROWSER_GONE;
    auto frames = std::make_shared<FrameWindow>();
    if (!frames->open(parentWindow))
        return E_FAIL;
    RECT client = {};
    GetClientRect(parentWindow, &client);
    const int width = client.right > 0 ? client.right : FIRST_PAGE_WIDTH;
    const int height = client.bottom > 0 ? client.bottom : FIRST_PAGE_HEIGHT;
    auto page = std::make_shared<Page>(browser, frames);
    const std::wstring userAgent = browser->userAgent();
    handler->AddRef();
    page->start(width, height, [page, frames, ui, handler, userAgent](HRESULT result) {
        const bool posted = dispatcher::post(ui, 0, [page, frames, ui, handler, userAgent, result] {
            if (SUCCEEDED(result)) {
                auto* controller = new Controller(page, frames, ui, userAgent);
                handler->Invoke(S_OK, controller);
                controller->Release();
            } else {
                page->close();
                frames->close();
                handler->Invoke(result, nullptr);
            }
            handler->Release();
        });
        if (!posted)
            page->close();
    });
    return S_OK;
}
