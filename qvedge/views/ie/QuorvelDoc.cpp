#include "qvedge/views/ie/QuorvelDoc.h"

IMPLEMENT_DYNCREATE(CQuorvelDoc)

BOOL CQuorvelDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}
