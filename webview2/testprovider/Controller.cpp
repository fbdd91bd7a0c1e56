#include "webview2/testprovider/Controller.h"

#include "webview2/common/OutParameter.h"
#include "webview2/testprovider/Journal.h"

namespace {

std::string colourText(const COREWEBVIEW2_COLOR& colour)
{
    return std::to_string(colour.A) + "," + std::to_string(colour.R) + "," + std::to_string(colour.G) + "," +
           std::to_string(colour.B);
}

} // namespace

Controller* Controller::Create(const ViewContext& context, HWND host)
{
    auto content = std::make_shared<ContentWindow>();
    if (!content->open(host))
        return nullptr;
    return new Controller(context, std::move(content));
}

Controller::Controller(const ViewContext& context, std::shared_ptr<ContentWindow> content)
    : context(context), content(std::move(content))
{
    auto* made = new WebView(context, this->content);
    webView.Reset(made);
    made->Release();
}

Controller::~Controller()
{
    webView->close();
    content->close();
}

HRESULT Controller::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2Controller, ICoreWebView2Controller2>(riid);
}

HRESULT Controller::get_CoreWebView2(ICoreWebView2** coreWebView2)
{
    const HRESULT result = closed ? HRESULT_FROM_WIN32(ERROR_INVALID_STATE) : context.hresult("get_corewebview2_hr");
    journal(context.who, "get_CoreWebView2", {{"result", hresultText(result)}});
    if (!coreWebView2)
        return E_POINTER;
    *coreWebView2 = nullptr;
    if (FAILED(result))
        return result;
    webView->AddRef();
    *coreWebView2 = webView.Get();
    return S_OK;
}

HRESULT Controller::put_Bounds(RECT value)
{
    journal(context.who, "put_Bounds",
            {{"bounds", std::to_string(value.left) + "," + std::to_string(value.top) + "," +
                            std::to_string(value.right) + "," + std::to_string(value.bottom)}});
    bounds = value;
    if (!closed)
        content->place(value);
    return S_OK;
}

HRESULT Controller::get_Bounds(RECT* value)
{
    return copyOut(bounds, value);
}

HRESULT Controller::put_IsVisible(BOOL isVisible)
{
    journal(context.who, "put_IsVisible", {{"value", isVisible ? "1" : "0"}});
    visible = isVisible ? TRUE : FALSE;
    if (!closed)
        content->show(visible);
    return S_OK;
}

HRESULT Controller::get_IsVisible(BOOL* isVisible)
{
    return copyOut(visible, isVisible);
}

HRESULT Controller::Close()
{
    journal(context.who, "Close");
    if (closed)
        return S_OK;
    closed = true;
    webView->close();
    content->close();
    return S_OK;
}

HRESULT Controller::get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color)
{
    journal(context.who, "get_DefaultBackgroundColor", {{"color", colourText(backgroundColor)}});
    if (!color)
        return E_POINTER;
    *color = backgroundColor;
    return S_OK;
}

HRESULT Controller::put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color)
{
    journal(context.who, "put_DefaultBackgroundColor", {{"color", colourText(color)}});
    backgroundColor = color;
    return S_OK;
}
