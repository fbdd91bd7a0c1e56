#pragma once
// The settings a view keeps and answers without acting on them: default context menus,
// the zoom control and pinch zoom, each on until put off.
#include "webview2/common/ComObject.h"
#include "webview2/include/WebView2.h"

class KeptSettings : public ComObject<ICoreWebView2Settings5> {
public:
    HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE put_IsPinchZoomEnabled(BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_IsPinchZoomEnabled(BOOL* enabled) override;

protected:
    // Told of every value put (by its method's name) before it is kept.
    virtual void putting(const char*, BOOL) {}

private:
    BOOL contextMenus = TRUE;
    BOOL zoomControl = TRUE;
    BOOL pinchZoom = TRUE;
};
