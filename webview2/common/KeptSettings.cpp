#include "webview2/common/KeptSettings.h"

#include "webview2/common/OutParameter.h"

HRESULT KeptSettings::put_AreDefaultContextMenusEnabled(BOOL enabled)
{
    putting("put_AreDefaultContextMenusEnabled", enabled);
    contextMenus = enabled;
    return S_OK;
}

HRESULT KeptSettings::get_AreDefaultContextMenusEnabled(BOOL* enabled)
{
    return copyOut(contextMenus, enabled);
}

HRESULT KeptSettings::put_IsZoomControlEnabled(BOOL enabled)
{
    putting("put_IsZoomControlEnabled", enabled);
    zoomControl = enabled;
    return S_OK;
}

HRESULT KeptSettings::get_IsZoomControlEnabled(BOOL* enabled)
{
    return copyOut(zoomControl, enabled);
}

HRESULT KeptSettings::put_IsPinchZoomEnabled(BOOL enabled)
{
    putting("put_IsPinchZoomEnabled", enabled);
    pinchZoom = enabled;
    return S_OK;
}

HRESULT KeptSettings::get_IsPinchZoomEnabled(BOOL* enabled)
{
    return copyOut(pinchZoom, enabled);
}
