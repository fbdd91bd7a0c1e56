#pragma once
#include "framework/CCmdTarget.h"
#include "framework/Win.h"

#include <vector>

class CView;

// The data behind a set of views. Views register on creation and leave on destruction;
// with m_bAutoDelete set the document deletes itself when its last view leaves.
class CDocument : public CCmdTarget {
public:
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    virtual BOOL OnNewDocument();

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return viewList; }

    BOOL m_bAutoDelete = TRUE;

protected:
    CDocument() = default;

private:
    std::vector<CView*> viewList;
};
