#pragma once
#include "framework/CHtmlView.h"
#include "framework/CString.h"
#include "framework/Win.h"

// Loads page text into the view's document, without a server or a file; the bytes go in
// as they are. E_FAIL for an empty text (the view is untouched) or when the document
// cannot load from a stream; E_NOINTERFACE when the view has no HTML document, not even
// after a navigation to "about:".
HRESULT writeHtmlToView(const CString& text, CHtmlView* view);
