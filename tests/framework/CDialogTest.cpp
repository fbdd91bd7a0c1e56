#include "framework/CDialog.h"

#include "framework/CWinApp.h"
#include "tests/framework/res/test_framework_resource.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_PING = WM_APP + 7;
constexpr LRESULT PING_ANSWER = 4711;

// Records what reaches it and lets a test choose its first moves.
class TestDialog : public CDialog {
public:
    explicit TestDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        initialised = true;
        visibleDuringInit = IsWindowVisible(m_hWnd) != 0;
        SetDlgItemText(IDC_TEST_TEXT, "replaced");
        for (const MSG& msg : postOnInit)
            PostMessageA(m_hWnd, msg.message, msg.wParam, msg.lParam);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_TEST_PING)
            ++offered;
        if (msg->message == consume)
            return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

    std::string itemText(int id) const
    {
        char text[64] = {};
        GetDlgItemTextA(m_hWnd, id, text, sizeof text);
        return text;
    }

    bool initialised = false;
    bool visibleDuringInit = false;
    std::vector<MSG> postOnInit;
    int offered = 0;
    UINT consume = 0;
    int pings = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_TEST_PING:
            ++pings;
            return PING_ANSWER;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

// Keeps OK and Cancel from ending it, as the screensaver's dialogs do.
class StubbornDialog : public TestDialog {
public:
    using TestDialog::TestDialog;
    int oks = 0;
    int cancels = 0;

protected:
    void OnOK() override { ++oks; }
    void OnCancel() override
    {
        ++cancels;
        // The test's own way out.
        if (cancels == 2)
            CDialog::OnCancel();
    }
};

MSG posted(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    MSG msg{};
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

void pumpAll()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
        AfxPumpMessage();
}

struct ModalCase {
    const char* name;
    MSG first;
    INT_PTR result;
};

class DoModalTest : public ::testing::TestWithParam<ModalCase> {};

TEST_P(DoModalTest, EndsWithTheResultOfItsButton)
{
    TestDialog dialog(IDD_TEST_MODAL);
    dialog.postOnInit.push_back(GetParam().first);
    EXPECT_EQ(dialog.DoModal(), GetParam().result);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

// Enter and Esc go through the system's dialog keys to IDOK and IDCANCEL.
INSTANTIATE_TEST_SUITE_P(
    Buttons, DoModalTest,
    ::testing::Values(ModalCase{"Ok", posted(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)), IDOK},
                      ModalCase{"Cancel", posted(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)), IDCANCEL},
                      ModalCase{"Close", posted(WM_CLOSE), IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CDialogTest, DoModalOfAMissingTemplateFails)
{
    TestDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.initialised);
}

TEST(CDialogTest, OkAndCancelOverriddenKeepTheDialog)
{
    StubbornDialog dialog(IDD_TEST_MODAL);
    dialog.postOnInit = {posted(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)),
                         posted(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)),
                         posted(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED))};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_EQ(dialog.cancels, 2);
}

TEST(CDialogTest, CreateRunsOnInitDialogInsideAndBindsTheWindow)
{
    TestDialog dialog(0);
    ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    EXPECT_TRUE(dialog.initialised);
    // The dialog manager shows a template marked visible once OnInitDialog has run.
    EXPECT_FALSE(dialog.visibleDuringInit);
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    EXPECT_EQ(SendMessageA(dialog.m_hWnd, WM_TEST_PING, 0, 0), PING_ANSWER);
    EXPECT_EQ(dialog.pings, 1);
    // Messages of no class of ours still reach the dialog manager.
    SendMessageA(dialog.m_hWnd, DM_SETDEFID, 42, 0);
    EXPECT_EQ(SendMessageA(dialog.m_hWnd, DM_GETDEFID, 0, 0), MAKELRESULT(42, DC_HASDEFID));
    EXPECT_NE(GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT), nullptr);
}

TEST(CDialogTest, CreateOfAMissingTemplateFails)
{
    TestDialog dialog(0);
    EXPECT_FALSE(dialog.Create(9999));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(CDialogTest, DestructorDestroysTheWindow)
{
    HWND hwnd = nullptr;
    {
        TestDialog dialog(0);
        ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
        hwnd = dialog.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(CDialogTest, EndDialogInAModalLoopClearsContinueAndKeepsTheResult)
{
    TestDialog dialog(0);
    ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    dialog.m_nFlags = CDialog::WF_MODALLOOP | CDialog::WF_CONTINUEMODAL;
    dialog.EndDialog(7);
    EXPECT_FALSE(dialog.ContinueModal());
    EXPECT_EQ(dialog.m_nFlags, CDialog::WF_MODALLOOP);
    EXPECT_EQ(dialog.m_nModalResult, 7);
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
    // A loop waiting in GetMessage wakes up.
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, dialog.m_hWnd, WM_NULL, WM_NULL, PM_REMOVE));
}

TEST(CDialogTest, EndDialogOutsideAModalLoopLeavesTheFlagsAlone)
{
    TestDialog dialog(0);
    ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    dialog.EndDialog(7);
    EXPECT_EQ(dialog.m_nFlags, 0u);
    EXPECT_EQ(dialog.m_nModalResult, -1);
}

TEST(CDialogTest, PumpOffersAChildsMessageToTheDialogAboveIt)
{
    TestDialog dialog(0);
    ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    dialog.consume = WM_TEST_PING;
    HWND edit = GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT);
    PostMessageA(edit, WM_TEST_PING, 0, 0);
    PostMessageA(dialog.m_hWnd, WM_TEST_PING, 0, 0);
    pumpAll();
    EXPECT_EQ(dialog.offered, 2);
    // Consumed: never dispatched.
    EXPECT_EQ(dialog.pings, 0);

    dialog.consume = 0;
    PostMessageA(dialog.m_hWnd, WM_TEST_PING, 0, 0);
    pumpAll();
    EXPECT_EQ(dialog.pings, 1);
}

TEST(CDialogTest, PumpWalkStopsAtTheMainWindow)
{
    CWinApp app;
    TestDialog owner(0);
    ASSERT_TRUE(owner.Create(IDD_TEST_MODELESS));
    TestDialog owned(0);
    ASSERT_TRUE(owned.Create(IDD_TEST_MODELESS, &owner));
    ASSERT_EQ(GetParent(owned.m_hWnd), owner.m_hWnd);

    PostMessageA(owned.m_hWnd, WM_TEST_PING, 0, 0);
    pumpAll();
    EXPECT_EQ(owner.offered, 1);
    EXPECT_EQ(owned.offered, 1);

    app.m_pMainWnd = &owned;
    PostMessageA(owned.m_hWnd, WM_TEST_PING, 0, 0);
    pumpAll();
    EXPECT_EQ(owner.offered, 1);
    EXPECT_EQ(owned.offered, 2);
    EXPECT_EQ(&app.m_msgCur, AfxGetCurrentMessage());
    app.m_pMainWnd = nullptr;
}

TEST(CDialogTest, PumpReportsTheQuitMessage)
{
    PostQuitMessage(5);
    EXPECT_FALSE(AfxPumpMessage());
    EXPECT_EQ(AfxGetCurrentMessage()->message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(AfxGetCurrentMessage()->wParam, 5u);
}

TEST(CDialogTest, PumpPassesKeysToTheDialogManager)
{
    StubbornDialog dialog(0);
    ASSERT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    HWND edit = GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT);
    SetFocus(edit);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    pumpAll();
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_EQ(dialog.cancels, 1);
}

TEST(CDialogTest, PumpLeavesForeignWindowsAlone)
{
    // A window of another class with user data of its own is not taken for one of ours.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetWindowLongPtrA(other, GWLP_USERDATA, 0x1234);
    EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr);
    PostMessageA(other, WM_TEST_PING, 0, 0);
    EXPECT_TRUE(AfxPumpMessage());
    DestroyWindow(other);
}

struct IdleCase {
    const char* name;
    UINT message;
    POINT pt;
    BOOL idle;
};

class IdleMessageTest : public ::testing::TestWithParam<std::vector<IdleCase>> {};

TEST_P(IdleMessageTest, DecidesWhetherIdleProcessingRestarts)
{
    for (const IdleCase& step : GetParam()) {
        MSG msg{};
        msg.message = step.message;
        msg.pt = step.pt;
        EXPECT_EQ(AfxIsIdleMessage(&msg), step.idle) << step.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, IdleMessageTest,
    ::testing::Values(std::vector<IdleCase>{{"paint", WM_PAINT, {}, FALSE},
                                            {"caret timer", 0x0118, {}, FALSE},
                                            {"timer", WM_TIMER, {}, TRUE},
                                            {"key", WM_KEYDOWN, {}, TRUE}},
                      std::vector<IdleCase>{{"first move", WM_MOUSEMOVE, {10, 10}, TRUE},
                                            {"same place", WM_MOUSEMOVE, {10, 10}, FALSE},
                                            {"same place, frame", WM_NCMOUSEMOVE, {10, 10}, TRUE},
                                            {"moved", WM_NCMOUSEMOVE, {11, 10}, TRUE},
                                            {"again", WM_NCMOUSEMOVE, {11, 10}, FALSE}}),
    [](const auto& info) { return info.index == 0 ? std::string("Messages") : std::string("MouseMoves"); });

TEST(CDialogTest, TouchRegistrationReportsTheSystemsAnswer)
{
    // Wine's RegisterTouchWindow is a stub that fails; Windows with touch support accepts.
    class Touchable : public TestDialog {
    public:
        using TestDialog::TestDialog;
        BOOL registerTouch() { return RegisterTouchWindow(TRUE, TWF_WANTPALM); }
    };
    Touchable touchable(0);
    ASSERT_TRUE(touchable.Create(IDD_TEST_MODELESS));
    const BOOL registered = touchable.registerTouch();
    EXPECT_EQ(registered != 0, IsTouchWindow(touchable.m_hWnd, nullptr) != 0);
}

TEST(CDialogTest, AFailingOnInitDialogIsReportedAndTheDialogStays)
{
    class FailingDialog : public CDialog {
    public:
        FailingDialog() : CDialog(IDD_TEST_MODELESS) {}
        BOOL OnInitDialog() override { throw std::runtime_error("init broke"); }
    };
    static std::vector<std::string> reports;
    reports.clear();
    const WindowProcFailureReport saved = windowProcFailureReport;
    windowProcFailureReport = [](UINT message, const char* description) {
        reports.push_back(std::to_string(message) + " " + description);
    };
    FailingDialog dialog;
    EXPECT_TRUE(dialog.Create(IDD_TEST_MODELESS));
    windowProcFailureReport = saved;
    EXPECT_EQ(reports, std::vector<std::string>{std::to_string(WM_INITDIALOG) + " init broke"});
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
}

} // namespace
