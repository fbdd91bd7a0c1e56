#include "qvedge/views/WriteHtmlToView.h"

#include "framework/ComPtr.h"

#include <mshtml.h>
#include <shlwapi.h>

HRESULT writeHtmlToView(const CString& text, CHtmlView* view)
{
    if (text.IsEmpty())
        return E_FAIL;
    ComPtr<IDispatch> document = view->GetHtmlDocument();
    if (!document) {
        view->Navigate2("about:");
        document = view->GetHtmlDocument();
        if (!document)
            return E_NOINTERFACE;
    }
    ComPtr<IHTMLDocument2> html;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(html.ReleaseAndGetAddressOf()))))
        return E_NOINTERFACE;
    ComPtr<IStream> stream;
    *stream.ReleaseAndGetAddressOf() =
        SHCreateMemStream(reinterpret_cast<const BYTE*>(text.GetString()), static_cast<UINT>(text.GetLength()));
    if (!stream)
        return E_FAIL;
    ComPtr<IPersistStreamInit> persist;
    if (FAILED(html->QueryInterface(IID_IPersistStreamInit,
                                    reinterpret_cast<void**>(persist.ReleaseAndGetAddressOf()))))
        return E_FAIL;
    return persist->Load(stream.Get());
}
