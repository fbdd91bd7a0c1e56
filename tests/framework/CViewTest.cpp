#include "framework/CView.h"

#include "framework/CDocument.h"
#include "framework/CWnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts the test objects alive, so a test sees which were deleted.
int liveDocuments = 0;
int liveViews = 0;

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)

public:
    TestDoc() { ++liveDocuments; }
    ~TestDoc() override { --liveDocuments; }
};
IMPLEMENT_DYNCREATE(TestDoc)

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)

public:
    TestView() { ++liveViews; }
    ~TestView() override { --liveViews; }
    void OnInitialUpdate() override { ++initialUpdates; }
    int initialUpdates = 0;
};
IMPLEMENT_DYNCREATE(TestView)

// A view whose creation always fails after its window exists.
class FailingView : public CView {
    DECLARE_DYNCREATE(FailingView)

public:
    FailingView() { ++liveViews; }
    ~FailingView() override { --liveViews; }
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                CCreateContext* context) override
    {
        if (CView::Create(className, windowName, style, rect, parent, id, context))
            lastWindow = m_hWnd;
        return FALSE;
    }
    static HWND lastWindow;
};
IMPLEMENT_DYNCREATE(FailingView)
HWND FailingView::lastWindow = nullptr;

class ViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        liveDocuments = 0;
        liveViews = 0;
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    }

    TestView* createView(CDocument* document)
    {
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(TestView);
        context.m_pCurrentDoc = document;
        return static_cast<TestView*>(CreateView(&parent, &context));
    }

    CWnd parent;
};

TEST(RuntimeClassTest, MakesObjectsOfItsClassByName)
{
    const CRuntimeClass* runtimeClass = RUNTIME_CLASS(TestDoc);
    EXPECT_STREQ(runtimeClass->m_lpszClassName, "TestDoc");
    std::unique_ptr<CCmdTarget> object(runtimeClass->CreateObject());
    ASSERT_NE(dynamic_cast<TestDoc*>(object.get()), nullptr);
    EXPECT_EQ(object->GetRuntimeClass(), runtimeClass);
    EXPECT_EQ(CCmdTarget::classCCmdTarget.CreateObject(), nullptr);
}

TEST_F(ViewTest, DocumentDeletesItselfWithItsLastView)
{
    auto* document = new TestDoc;
    EXPECT_TRUE(document->OnNewDocument());
    TestView* first = createView(document);
    TestView* second = createView(document);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetDocument(), document);
    EXPECT_EQ(document->GetViews(), (std::vector<CView*>{first, second}));
    delete first;
    ASSERT_EQ(liveDocuments, 1);
    EXPECT_EQ(document->GetViews(), std::vector<CView*>{second});
    delete second;
    EXPECT_EQ(liveDocuments, 0);
}

TEST_F(ViewTest, DocumentWithoutAutoDeleteOutlivesItsViewsAndReleasesLateOnes)
{
    auto* document = new TestDoc;
    document->m_bAutoDelete = FALSE;
    delete createView(document);
    EXPECT_EQ(liveDocuments, 1);
    EXPECT_TRUE(document->GetViews().empty());
    TestView* late = createView(document);
    delete document;
    EXPECT_EQ(late->GetDocument(), nullptr);
    delete late;
    EXPECT_EQ(liveViews, 0);
}

TEST_F(ViewTest, CreateViewMakesAnEmptyDefaultViewWithTheId)
{
    std::unique_ptr<TestView> view(createView(nullptr));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->GetDocument(), nullptr);
    EXPECT_EQ(GetParent(view->m_hWnd), parent.m_hWnd);
    EXPECT_EQ(GetDlgCtrlID(view->m_hWnd), static_cast<int>(AFX_IDW_PANE_FIRST));
    const DWORD style = static_cast<DWORD>(GetWindowLongA(view->m_hWnd, GWL_STYLE));
    EXPECT_EQ(style & AFX_WS_DEFAULT_VIEW, AFX_WS_DEFAULT_VIEW);
    EXPECT_EQ(AFX_WS_DEFAULT_VIEW, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER));
    RECT rect;
    GetWindowRect(view->m_hWnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
}

TEST_F(ViewTest, ViewsHaveAWindowClassOfTheirOwn)
{
    std::unique_ptr<TestView> view(createView(nullptr));
    ASSERT_TRUE(view);
    char className[64] = {};
    GetClassNameA(view->m_hWnd, className, sizeof className);
    EXPECT_STREQ(className, "QvView");
    EXPECT_NE(GetClassLongA(view->m_hWnd, GCW_ATOM), GetClassLongA(parent.m_hWnd, GCW_ATOM));
    EXPECT_EQ(static_cast<UINT>(GetClassLongA(view->m_hWnd, GCL_STYLE)),
              static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));
}

TEST_F(ViewTest, InitialUpdateMessageReachesOnInitialUpdate)
{
    std::unique_ptr<TestView> view(createView(nullptr));
    ASSERT_TRUE(view);
    EXPECT_EQ(SendMessageA(view->m_hWnd, WM_INITIALUPDATE, 0, 0), 0);
    SendMessageA(view->m_hWnd, WM_INITIALUPDATE, 0, 0);
    EXPECT_EQ(view->initialUpdates, 2);
    EXPECT_EQ(WM_INITIALUPDATE, 0x0364u);
}

TEST_F(ViewTest, ViewOutlivesItsWindow)
{
    auto* document = new TestDoc;
    TestView* view = createView(document);
    ASSERT_TRUE(view);
    // The window's end deletes nothing: its owner still holds the view.
    DestroyWindow(view->m_hWnd);
    EXPECT_EQ(view->m_hWnd, nullptr);
    EXPECT_EQ(liveViews, 1);
    EXPECT_EQ(view->GetDocument(), document);
    delete view;
    EXPECT_EQ(liveViews, 0);
    EXPECT_EQ(liveDocuments, 0);
}

TEST_F(ViewTest, CreateViewThatCannotMakeAViewLeavesNothing)
{
    CCreateContext context;
    EXPECT_EQ(CreateView(&parent, nullptr), nullptr);
    EXPECT_EQ(CreateView(&parent, &context), nullptr);
    context.m_pNewViewClass = RUNTIME_CLASS(TestDoc);
    EXPECT_EQ(CreateView(&parent, &context), nullptr);
    EXPECT_EQ(liveDocuments, 0);

    auto* document = new TestDoc;
    document->m_bAutoDelete = FALSE;
    context.m_pNewViewClass = RUNTIME_CLASS(FailingView);
    context.m_pCurrentDoc = document;
    EXPECT_EQ(CreateView(&parent, &context), nullptr);
    EXPECT_EQ(liveViews, 0);
    ASSERT_NE(FailingView::lastWindow, nullptr);
    EXPECT_FALSE(IsWindow(FailingView::lastWindow));
    EXPECT_TRUE(document->GetViews().empty());
    delete document;
}

} // namespace
