#include "qvedge/app/QuorvelSmallPreview.h"

#include "common/ProgramBaseName.h"
#include "framework/GdiObjects.h"
#include "tests/qvedge/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr int PREVIEW_WIDTH = 152;
constexpr int PREVIEW_HEIGHT = 112;

HFONT boldArial(int height)
{
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

// For a name without spaces nothing wraps: the first height at which its one line fits.
int expectedHeightOfOneWord(HDC dc, const std::string& word)
{
    for (int height = 24; height > 6; height -= 4) {
        OwnedFont font(boldArial(height));
        ObjectSelection selection(dc, font.Get());
        SIZE size = {};
        GetTextExtentPoint32A(dc, word.c_str(), static_cast<int>(word.size()), &size);
        if (size.cx <= PREVIEW_WIDTH && size.cy <= PREVIEW_HEIGHT)
            return height;
    }
    return 0;
}

bool isInk(std::uint32_t pixel)
{
    return pixel != 0;
}

// The settings dialog's preview window with our picture in it.
class PreviewWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "settings", WS_POPUP | WS_VISIBLE, 0, 0, PREVIEW_WIDTH,
                                 PREVIEW_HEIGHT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        ASSERT_TRUE(preview.CreateEx(0, "preview", WS_CHILD | WS_VISIBLE, {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT},
                                     CWnd::FromHandle(parent), 0));
    }
    void TearDown() override
    {
        preview.DestroyWindow();
        DestroyWindow(parent);
    }

    // Paints the name straight into the preview's window; the chosen height.
    int paintName(const std::string& name)
    {
        HDC dc = GetDC(preview.m_hWnd);
        RECT black = {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
        FillRect(dc, &black, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const int height = paintPreviewName(dc, black, name.c_str());
        ReleaseDC(preview.m_hWnd, dc);
        return height;
    }

    // Whether the name, wrapped within a fresh rectangle of the preview, fits it at that height.
    bool fitsAFreshRectangle(const std::string& name, int height)
    {
        HDC dc = GetDC(preview.m_hWnd);
        OwnedFont font(boldArial(height));
        ObjectSelection selection(dc, font.Get());
        RECT measured = {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
        DrawTextA(dc, name.c_str(), static_cast<int>(name.size()), &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        selection.Restore();
        ReleaseDC(preview.m_hWnd, dc);
        return measured.right <= PREVIEW_WIDTH && measured.bottom <= PREVIEW_HEIGHT;
    }

    int expectedHeight(const std::string& word)
    {
        HDC dc = GetDC(preview.m_hWnd);
        const int height = expectedHeightOfOneWord(dc, word);
        ReleaseDC(preview.m_hWnd, dc);
        return height;
    }

    HWND parent = nullptr;
    CQuorvelSmallPreview preview;
};

TEST_F(PreviewWindowTest, PaintsTheProgramNameCentredInWhiteOnBlack)
{
    InvalidateRect(preview.m_hWnd, nullptr, TRUE);
    UpdateWindow(preview.m_hWnd);
    const WindowCapture shot(preview.m_hWnd);
    const RECT all = {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
    const RECT ink = shot.boxOf(all, isInk);
    ASSERT_GT(ink.right, ink.left) << "nothing drawn";
    EXPECT_NE(0, shot.boxOf(all, [](std::uint32_t p) { return p == 0xFFFFFF; }).right) << "white text";
    EXPECT_TRUE(shot.all(all, [](std::uint32_t p) {
        return (p >> 16) == ((p >> 8) & 0xFF) && (p & 0xFF) == ((p >> 8) & 0xFF);
    })) << "only greys between black and white";
    EXPECT_LE(std::abs(ink.left - (PREVIEW_WIDTH - ink.right)), 2) << "ink " << ink.left << ".." << ink.right;
    EXPECT_LE(std::abs(ink.top - (PREVIEW_HEIGHT - ink.bottom)), 8) << "ink " << ink.top << ".." << ink.bottom;

    // The name has no spaces, so the chosen size shows in the ink's height.
    const int height = expectedHeight(getProgramBaseName().str());
    ASSERT_GT(height, 0);
    EXPECT_LE(ink.bottom - ink.top, height);
    EXPECT_GT(ink.bottom - ink.top, height / 2);
}

struct NameCase {
    const char* testName;
    std::string name;
};

class OneWordNameTest : public PreviewWindowTest, public testing::WithParamInterface<NameCase> {};

TEST_P(OneWordNameTest, TakesTheLargestHeightAtWhichItFits)
{
    const std::string& name = GetParam().name;
    EXPECT_EQ(expectedHeight(name), paintName(name));
}

// Under Wine these reach 24, 20, 16, 12 and 8 pixels.
INSTANTIATE_TEST_SUITE_P(Names, OneWordNameTest,
                         testing::Values(NameCase{"Short", "Quorvel"}, NameCase{"Medium", "Quorvelscreens"},
                                         NameCase{"Longer", "Quorvelscreensaver"},
                                         NameCase{"Long", "Quorvelscreensaverpreview"},
                                         NameCase{"Longest", "Quorvelscreensaverpreviewtest"}),
                         [](const auto& info) { return std::string(info.param.testName); });

TEST_F(PreviewWindowTest, NameWithSpacesWrapsBeforeTheFontShrinks)
{
    const std::string name = "Quorvel Edge Show";
    ASSERT_LT(expectedHeight(name), 24) << "the name must be too wide for one line at 24";
    EXPECT_EQ(24, paintName(name));
    const WindowCapture shot(preview.m_hWnd);
    const RECT ink = shot.boxOf({0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT}, isInk);
    EXPECT_GT(ink.bottom - ink.top, 40) << "more than one line";
    EXPECT_LE(std::abs(ink.left - (PREVIEW_WIDTH - ink.right)), 2);
}

// Each size is measured in the rectangle that the size before left: the long first word
// widens it at 16 pixels, so at 12 both words stay on one line, too wide for the preview,
// although they would fit on two lines of a fresh rectangle.
TEST_F(PreviewWindowTest, EachSizeIsMeasuredInTheRectangleThePreviousOneLeft)
{
    const std::string name = "Quorvelscreensaverprev iewtest";
    ASSERT_FALSE(fitsAFreshRectangle(name, 16));
    ASSERT_TRUE(fitsAFreshRectangle(name, 12));
    EXPECT_EQ(8, paintName(name));
}

TEST_F(PreviewWindowTest, NameThatFitsNowhereIsDrawnInTheContextsOwnFont)
{
    const std::string name(60, 'W');
    EXPECT_EQ(0, paintName(name));
    const WindowCapture shot(preview.m_hWnd);
    EXPECT_GT(shot.boxOf({0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT}, isInk).right, 0) << "still drawn, clipped";
}

// A preview paints for as long as the settings dialog is open.
TEST(PreviewPaintTest, RepeatedPaintsRestoreTheFontAndDeleteTheirOwn)
{
    OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
    OwnedBitmap bitmap(CreateBitmap(PREVIEW_WIDTH, PREVIEW_HEIGHT, 1, 32, nullptr));
    ObjectSelection canvas(dc.Get(), bitmap.Get());
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_FONT);
    const RECT client = {0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
    // Fits at 8 pixels only: every paint creates all five fonts.
    const std::string name = "Quorvelscreensaverpreviewtest";
    const int first = paintPreviewName(dc.Get(), client, name.c_str());
    ASSERT_EQ(8, first);
    // The process has 65536 GDI handles: fonts left behind would use them up long before.
    for (int i = 0; i < 20000; ++i) {
        ASSERT_EQ(first, paintPreviewName(dc.Get(), client, name.c_str())) << "paint " << i;
        ASSERT_EQ(before, GetCurrentObject(dc.Get(), OBJ_FONT)) << "paint " << i;
    }
    EXPECT_EQ(0, paintPreviewName(dc.Get(), client, std::string(60, 'W').c_str()));
    EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_FONT));
    OwnedFont fresh(boldArial(24));
    EXPECT_TRUE(fresh) << "GDI handles used up";
}

} // namespace
