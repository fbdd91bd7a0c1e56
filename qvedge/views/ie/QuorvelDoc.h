#pragma once
#include "framework/CDocument.h"

// The document the views of one createViews call share; it holds nothing. It deletes
// itself with its last view.
class CQuorvelDoc : public CDocument {
    DECLARE_DYNCREATE(CQuorvelDoc)

public:
    CQuorvelDoc() = default;

    BOOL OnNewDocument() override;
};
