#include "webview2/chromium/Controller.h"

#include "webview2/common/OutParameter.h"

namespace {

constexpr double OPAQUE_ALPHA = 255.0;

} // namespace

Controller::Controller(std::shared_ptr<Page> page, std::shared_ptr<FrameWindow> frames, HWND dispatcher,
                       std::wstring userAgent)
    : page(std::move(page)), frames(std::move(frames))
{
    auto* made = new WebView(this->page, dispatcher, std::move(userAgent));
    webView.Reset(made);
    made->Release();
}

Controller::~Controller()
{
    Close();
}

HRESULT Controller::answer(REFIID riid)
{
    return answerOneOf<ICoreWebView2Controller, ICoreWebView2Controller2>(riid);
}

HRESULT Controller::get_CoreWebView2(ICoreWebView2** coreWebView2)
{
    if (!coreWebView2)
        return E_POINTER;
    *coreWebView2 = nullptr;
    if (closed)
        return HRESULT_FROM_WIN32(ERROR_INVALID_STATE);
    webView->AddRef();
    *coreWebView2 = webView.Get();
    return S_OK;
}

HRESULT Controller::put_Bounds(RECT value)
{
    const bool resized = value.right - value.left != bounds.right - bounds.left ||
                         value.bottom - value.top != bounds.bottom - bounds.top;
    bounds = value;
    if (closed)
        return S_OK;
    frames->place(value);
    // An empty viewport would mean "no override" to the browser; the page keeps its size.
    if (resized && value.right > value.left && value.bottom > value.top)
        page->resize(value.right - value.left, value.bottom - value.top);
    return S_OK;
}

HRESULT Controller::get_Bounds(RECT* value)
{
    return copyOut(bounds, value);
}

HRESULT Controller::put_IsVisible(BOOL isVisible)
{
    visible = isVisible ? TRUE : FALSE;
    if (!closed)
        frames->show(visible != FALSE);
    return S_OK;
}

HRESULT Controller::get_IsVisible(BOOL* isVisible)
{
    return copyOut(visible, isVisible);
}

HRESULT Controller::Close()
{
    if (closed)
        return S_OK;
    closed = true;
    webView->close();
    page->close();
    frames->close();
    return S_OK;
}

HRESULT Controller::get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* color)
{
    return copyOut(backgroundColor, color);
}

HRESULT Controller::put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color)
{
    backgroundColor = color;
    if (closed)
        return S_OK;
    frames->setBackground(RGB(color.R, color.G, color.B));
    page->setBackground(color.R, color.G, color.B, color.A / OPAQUE_ALPHA);
    return S_OK;
}
