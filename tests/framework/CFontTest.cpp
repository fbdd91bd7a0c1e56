#include "framework/CFont.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

HFONT arial(int height)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

bool alive(HFONT font)
{
    return GetObjectType(font) == OBJ_FONT;
}

TEST(CFontTest, DeletesItsFontWhenDestroyed)
{
    HFONT handle = arial(21);
    {
        CFont font;
        EXPECT_TRUE(font.Attach(handle));
        EXPECT_EQ(static_cast<HFONT>(font), handle);
        EXPECT_TRUE(alive(handle));
    }
    EXPECT_FALSE(alive(handle));
}

TEST(CFontTest, DeleteObjectEmptiesItOnce)
{
    CFont font;
    HFONT handle = arial(35);
    font.Attach(handle);
    EXPECT_TRUE(font.DeleteObject());
    EXPECT_FALSE(alive(handle));
    EXPECT_EQ(font.GetSafeHandle(), nullptr);
    EXPECT_FALSE(font.DeleteObject());
}

TEST(CFontTest, AttachReplacesAndMoveHandsOver)
{
    HFONT first = arial(10);
    HFONT second = arial(12);
    CFont font;
    font.Attach(first);
    font.Attach(second);
    EXPECT_FALSE(alive(first));
    CFont moved(std::move(font));
    EXPECT_EQ(font.GetSafeHandle(), nullptr);
    EXPECT_EQ(moved.GetSafeHandle(), second);
    EXPECT_TRUE(alive(second));
    EXPECT_FALSE(font.Attach(nullptr));
}

} // namespace
