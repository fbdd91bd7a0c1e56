#include "framework/CImage.h"

#include "tests/framework/res/test_framework_resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The bitmap's pixels as 0xRRGGBB, row by row from the top.
std::vector<DWORD> pixelsOf(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<DWORD> pixels(width * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

TEST(CImageTest, DecodesAPngResourceWithTransparencyOverBlack)
{
    CImage image;
    ASSERT_TRUE(image.LoadFromResource(GetModuleHandleW(nullptr), IDB_TEST_PATTERN));
    ASSERT_NE(nullptr, image.GetBitmap());
    BITMAP size = {};
    ASSERT_NE(0, GetObjectA(image.GetBitmap(), sizeof size, &size));
    EXPECT_EQ(4, size.bmWidth);
    EXPECT_EQ(2, size.bmHeight);

    std::vector<DWORD> pixels = pixelsOf(image.GetBitmap(), 4, 2);
    EXPECT_EQ(0xFF0000u, pixels[0]);
    EXPECT_EQ(0x00FF00u, pixels[1]);
    EXPECT_EQ(0x0000FFu, pixels[2]);
    EXPECT_EQ(0xFFFFFFu, pixels[3]);
    EXPECT_EQ(0x000000u, pixels[4]) << "transparent";
    const DWORD half = pixels[5] & 0xFF;
    EXPECT_NEAR(128, static_cast<int>(half), 2) << "half-transparent white";
    EXPECT_EQ(half * 0x010101u, pixels[5]);
    EXPECT_EQ(0x000000u, pixels[6]);
    EXPECT_EQ(0xA0A0A0u, pixels[7]);
}

struct FailureCase {
    const char* name;
    UINT id;
};

class CImageFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(CImageFailureTest, FailsWithoutABitmap)
{
    CImage image;
    EXPECT_FALSE(image.LoadFromResource(GetModuleHandleW(nullptr), GetParam().id));
    EXPECT_EQ(nullptr, image.GetBitmap());
}

INSTANTIATE_TEST_SUITE_P(Resources, CImageFailureTest,
                         testing::Values(FailureCase{"Missing", IDB_TEST_MISSING},
                                         FailureCase{"NotAPicture", IDB_TEST_NOT_A_PICTURE}),
                         [](const auto& info) { return std::string(info.param.name); });

// A failed load drops the picture loaded before, so the image never shows a stale one.
TEST(CImageTest, FailedReloadLeavesNoBitmap)
{
    CImage image;
    ASSERT_TRUE(image.LoadFromResource(GetModuleHandleW(nullptr), IDB_TEST_PATTERN));
    EXPECT_FALSE(image.LoadFromResource(GetModuleHandleW(nullptr), IDB_TEST_MISSING));
    EXPECT_EQ(nullptr, image.GetBitmap());
}

} // namespace
