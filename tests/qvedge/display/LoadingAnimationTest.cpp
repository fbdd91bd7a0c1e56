#include "framework/Win.h"
#include "qvedge/res/display_resource.h"
#include "tests/qvedge/support/ShowDialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const int clipWidth = 200;
const int clipHeight = 60;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A transparent clip takes its background from the parent, black as in the show.
    if (message == WM_CTLCOLORSTATIC)
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    return DefWindowProcA(window, message, wParam, lParam);
}

void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A shown parent with the animation control as the dialog creates it.
class LoadingAnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_ANIMATE_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = parentProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LoadingAnimationParent";
        RegisterClassA(&windowClass);
        parent = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, parent);
        animation = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT | ACS_CENTER,
                                    0, 0, 400, 200, parent, reinterpret_cast<HMENU>(131),
                                    windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, animation);
    }

    void TearDown() override
    {
        if (parent)
            DestroyWindow(parent);
    }

    BOOL open() const
    {
        return static_cast<BOOL>(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                                              reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDR_LOADING_AVI))));
    }

    // The grey levels of the clip's rectangle, centred in the control, after showing `frame`.
    std::vector<BYTE> showFrame(WORD frame) const
    {
        SendMessageA(animation, ACM_PLAY, 1, MAKELONG(frame, frame));
        UpdateWindow(animation);
        pumpMessages();
        HDC screen = GetDC(animation);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), clipWidth, -clipHeight, 1, 32, BI_RGB};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, clipWidth, clipHeight, screen, (400 - clipWidth) / 2, (200 - clipHeight) / 2, SRCCOPY);
        GdiFlush();
        std::vector<BYTE> levels;
        const DWORD* pixels = static_cast<const DWORD*>(bits);
        for (int i = 0; i < clipWidth * clipHeight; ++i)
            levels.push_back(static_cast<BYTE>(pixels[i] & 0xFF));
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        ReleaseDC(animation, screen);
        return levels;
    }

    HWND parent = nullptr;
    HWND animation = nullptr;
};

int countAtLeast(const std::vector<BYTE>& levels, BYTE level)
{
    int count = 0;
    for (BYTE v : levels)
        count += v >= level;
    return count;
}

} // namespace

TEST_F(LoadingAnimationTest, OpensAndPlaysTheClipOfTheProgram)
{
    EXPECT_TRUE(open());
    EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)));
    pumpMessages();
    EXPECT_TRUE(SendMessageA(animation, ACM_STOP, 0, 0));
    SendMessageA(animation, ACM_OPENA, 0, 0);
}

// Frame 0 lights the first dot in white; frame 6 shows the grey word and dots only.
TEST_F(LoadingAnimationTest, FramesShowTheGreyWordAndAMovingWhiteDot)
{
    ASSERT_TRUE(open());
    std::vector<BYTE> first = showFrame(0);
    std::vector<BYTE> unlit = showFrame(6);
    EXPECT_EQ(0, first[0]) << "black corner";
    EXPECT_GT(countAtLeast(first, 0x90), 300) << "the word";
    EXPECT_GT(countAtLeast(first, 0xF0), 10) << "the lit dot";
    EXPECT_GT(countAtLeast(unlit, 0x90), 300);
    EXPECT_EQ(0, countAtLeast(unlit, 0xF0));
    EXPECT_NE(first, showFrame(2)) << "the lit dot moves";
}

// The show's clip, 8 frames of 125 ms, plays on for as long as the loading screen stays:
// within two and a half clip lengths it reports its start to the dialog, never its end.
TEST(LoadingClipTest, TheShowsClipPlaysOnPastItsLastFrame)
{
    auto dialog = createShowDialog();
    // Other tests' windows may take the activation away; the hold keeps that from closing.
    dialog->testHold = TRUE;
    HWND animation = dialog->LoadingAnimation.m_hWnd;
    ASSERT_NE(animation, nullptr);
    bool started = false;
    bool stopped = false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2500;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_COMMAND && reinterpret_cast<HWND>(msg.lParam) == animation) {
                started = started || HIWORD(msg.wParam) == ACN_START;
                stopped = stopped || HIWORD(msg.wParam) == ACN_STOP;
            }
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_TRUE(started);
    EXPECT_FALSE(stopped);
}
