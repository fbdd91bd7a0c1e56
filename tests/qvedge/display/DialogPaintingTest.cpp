#include "qvedge/display/DialogPainting.h"

#include "framework/CImage.h"
#include "framework/CWnd.h"
#include "framework/GdiObjects.h"
#include "qvedge/display/QuorvelDlg.h"
#include "qvedge/res/display_resource.h"
#include "tests/qvedge/support/RectTesting.h"
#include "tests/qvedge/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::uint32_t BLACK = 0x000000;
// The test window's own background: whatever the painting leaves alone stays this colour.
constexpr COLORREF CANVAS_COLOUR = RGB(0, 0, 128);
constexpr std::uint32_t CANVAS = 0x000080;
constexpr int PICTURE_WIDTH = 320;
constexpr int PICTURE_HEIGHT = 200;

const RECT fullHd = {0, 0, 1920, 1080};

HFONT arialFont(int height)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

bool isGreyText(std::uint32_t pixel)
{
    const std::uint32_t r = pixel >> 16, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r == g && g == b && r > 0 && r <= 160;
}

// A full-screen test window that paints itself with paintDialog on WM_PAINT, like the dialog.
class Canvas : public CWnd {
public:
    Canvas() : background(CreateSolidBrush(CANVAS_COLOUR))
    {
        CreateEx(0, AfxRegisterWndClass(0, nullptr, background.Get()), "canvas", WS_POPUP | WS_VISIBLE, fullHd,
                 nullptr, 0);
    }

    WindowCapture paint(const DialogPaintState& painted)
    {
        state = painted;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
        return WindowCapture(m_hWnd);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            CPaintDC dc(this);
            paintDialog(dc.GetSafeHdc(), state);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    OwnedBrush background;
    DialogPaintState state = {};
};

class DialogPaintingTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, canvas.m_hWnd); }

    DialogPaintState stateFor(const RECT& html, int errorCode) const
    {
        return {html, RECT{}, errorCode != 0, errorCode, false, "", footerFont.Get(), errorFont.Get()};
    }

    OwnedFont footerFont{arialFont(21)};
    OwnedFont errorFont{arialFont(35)};
    Canvas canvas;
};

// The picture as GDI+ decodes it, 0xRRGGBB row by row.
std::vector<std::uint32_t> noConnectionPicture()
{
    CImage image;
    EXPECT_TRUE(image.LoadFromResource(GetModuleHandleW(nullptr), IDB_NO_INTERNET));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), PICTURE_WIDTH, -PICTURE_HEIGHT, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(PICTURE_WIDTH * PICTURE_HEIGHT);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, image.GetBitmap(), 0, PICTURE_HEIGHT, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// How many pixels of the picture's visible part, its top-left corner at (left, top),
// differ from the capture.
int pictureMismatches(const WindowCapture& shot, int left, int top, int width, int height)
{
    const std::vector<std::uint32_t> picture = noConnectionPicture();
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mismatches += shot.at(left + x, top + y) != picture[y * PICTURE_WIDTH + x];
    return mismatches;
}

TEST_F(DialogPaintingTest, WithoutErrorOnlyTheContentAreaTurnsBlack)
{
    const RECT html = {100, 50, 700, 450};
    const WindowCapture shot = canvas.paint(stateFor(html, 0));
    EXPECT_TRUE(shot.all(html, [](std::uint32_t p) { return p == BLACK; }));
    EXPECT_EQ(CANVAS, shot.at(99, 50));
    EXPECT_EQ(CANVAS, shot.at(700, 449));
    EXPECT_EQ(CANVAS, shot.at(100, 450));
}

TEST_F(DialogPaintingTest, NoConnectionPictureIsCentredOnAFullHdMonitor)
{
    const WindowCapture shot = canvas.paint(stateFor(fullHd, ERROR_NO_INTERNET));
    EXPECT_EQ(0, pictureMismatches(shot, 800, 440, PICTURE_WIDTH, PICTURE_HEIGHT));
    // The content area is not filled around it.
    EXPECT_EQ(CANVAS, shot.at(799, 440));
    EXPECT_EQ(CANVAS, shot.at(800, 439));
    EXPECT_EQ(CANVAS, shot.at(1120, 639));
    EXPECT_EQ(CANVAS, shot.at(1119, 640));
}

// A content area that begins right of the window's origin, as the primary's does when a
// monitor lies to its left.
TEST_F(DialogPaintingTest, NoConnectionPictureIsCentredInAShiftedContentArea)
{
    const RECT html = {1280, 0, 1920, 1080};
    const WindowCapture shot = canvas.paint(stateFor(html, ERROR_NO_INTERNET));
    EXPECT_EQ(0, pictureMismatches(shot, 1280 + 160, 440, PICTURE_WIDTH, PICTURE_HEIGHT));
    EXPECT_EQ(CANVAS, shot.at(1439, 500));
}

TEST_F(DialogPaintingTest, NoConnectionPictureIsCutOffAtASmallContentArea)
{
    const RECT html = {100, 100, 300, 250};
    const WindowCapture shot = canvas.paint(stateFor(html, ERROR_NO_INTERNET));
    EXPECT_EQ(0, pictureMismatches(shot, 100, 100, 200, 150));
    EXPECT_TRUE(shot.all({300, 100, 420, 300}, [](std::uint32_t p) { return p == CANVAS; }));
    EXPECT_TRUE(shot.all({100, 250, 300, 300}, [](std::uint32_t p) { return p == CANVAS; }));
}

TEST_F(DialogPaintingTest, ErrorTextIsGreyAndCentredAboveTheFooterLine)
{
    DialogPaintState state = stateFor({0, 0, 1920, 1040}, 3);
    state.showFooter = true;
    state.footerRect = {0, 1040, 1920, 1080};
    state.footerTitle = "Quorvel footer";
    const WindowCapture shot = canvas.paint(state);

    auto notBlack = [](std::uint32_t p) { return p != BLACK; };
    EXPECT_TRUE(shot.all(fullHd, [](std::uint32_t p) { return p == BLACK || isGreyText(p); }));
    const RECT text = shot.boxOf(state.htmlRect, notBlack);
    const RECT footer = shot.boxOf(state.footerRect, notBlack);
    ASSERT_GT(text.right, text.left);
    ASSERT_GT(footer.right, footer.left);
    EXPECT_TRUE(shot.boxOf(fullHd, [](std::uint32_t p) { return p == 0xA0A0A0; }).right > 0)
        << "fully covered pixels carry the text colour";

    EXPECT_LE(std::abs(text.left - (1920 - text.right)), 2) << text;
    EXPECT_LE(std::abs(text.top - (1040 - text.bottom)), 10) << text;
    EXPECT_LE(std::abs(footer.left - (1920 - footer.right)), 2) << footer;
    EXPECT_LE(std::abs((footer.top - 1040) - (1080 - footer.bottom)), 8) << footer;
    // The error font is the larger one, and its text the longer.
    EXPECT_GT(text.bottom - text.top, footer.bottom - footer.top);
    EXPECT_GT(text.right - text.left, footer.right - footer.left);
}

TEST_F(DialogPaintingTest, FooterIsPaintedAboveThePicture)
{
    DialogPaintState state = stateFor({0, 0, 1920, 1040}, ERROR_NO_INTERNET);
    state.showFooter = true;
    state.footerRect = {0, 1040, 1920, 1080};
    state.footerTitle = "Quorvel";
    const WindowCapture shot = canvas.paint(state);
    EXPECT_EQ(0, pictureMismatches(shot, 800, 420, PICTURE_WIDTH, PICTURE_HEIGHT));
    EXPECT_TRUE(shot.all(state.footerRect, [](std::uint32_t p) { return p == BLACK || isGreyText(p); }));
    EXPECT_GT(shot.boxOf(state.footerRect, isGreyText).right, 0);
}

struct SilentCase {
    const char* name;
    int errorCode;
};

class SilentErrorTest : public DialogPaintingTest, public testing::WithParamInterface<SilentCase> {};

// Codes without a text leave a black content area.
TEST_P(SilentErrorTest, ContentAreaIsBlackWithoutText)
{
    DialogPaintState state = stateFor({0, 0, 1920, 1040}, GetParam().errorCode);
    state.errorFlag = TRUE;
    const WindowCapture shot = canvas.paint(state);
    EXPECT_TRUE(shot.all(state.htmlRect, [](std::uint32_t p) { return p == BLACK; }));
    EXPECT_TRUE(shot.all({0, 1040, 1920, 1080}, [](std::uint32_t p) { return p == CANVAS; }))
        << "no footer configured";
}

INSTANTIATE_TEST_SUITE_P(Codes, SilentErrorTest,
                         testing::Values(SilentCase{"AboveSix", 7}, SilentCase{"Zero", 0},
                                         SilentCase{"Negative", -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogPaintingContextTest, LeavesTheContextsFontAsItWas)
{
    OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    OwnedBitmap bitmap(CreateBitmap(400, 300, 1, 32, nullptr));
    ObjectSelection canvas(dc.Get(), bitmap.Get());
    OwnedFont footerFont(arialFont(21));
    OwnedFont errorFont(arialFont(35));
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
    for (int code : {0, 3, ERROR_NO_INTERNET}) {
        paintDialog(dc.Get(), {{0, 0, 400, 260}, {0, 260, 400, 300}, code != 0, code, true, "footer",
                               footerFont.Get(), errorFont.Get()});
        EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_FONT)) << "code " << code;
    }
}

TEST(DialogPaintingTextTest, ErrorTextsComeFromTheStringTable)
{
    EXPECT_EQ(CString("Error: Could not obtain configuration file path from registry."), errorText(1));
    EXPECT_EQ(CString("Error: Could not read configuration file."), errorText(2));
    EXPECT_EQ(CString("Error: Empty web page list provided."), errorText(3));
    EXPECT_EQ(CString("Error: Could not show any web page, please check your network settings."), errorText(4));
    EXPECT_EQ(CString("Error: Cannot initialize Web browser control!"), errorText(5));
    for (int code : {-1, 0, 6, 7, 140})
        EXPECT_TRUE(errorText(code).IsEmpty()) << code;
}

// The dialog asks for its background on every control-colour request.
TEST(DialogBackgroundBrushTest, IsOneSolidBlackBrushForEveryRequest)
{
    const HBRUSH first = dialogBackgroundBrush();
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(first, dialogBackgroundBrush());
    LOGBRUSH brush = {};
    ASSERT_EQ(static_cast<int>(sizeof brush), GetObjectA(first, sizeof brush, &brush));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), brush.lbStyle);
    EXPECT_EQ(RGB(0, 0, 0), brush.lbColor);
}

} // namespace
