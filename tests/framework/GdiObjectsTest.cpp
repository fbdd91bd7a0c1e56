#include "framework/GdiObjects.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

class MemoryDcTest : public testing::Test {
protected:
    OwnedMemoryDc dc{CreateCompatibleDC(nullptr)};
    HGDIOBJ originalFont = GetCurrentObject(dc.Get(), OBJ_FONT);
};

TEST_F(MemoryDcTest, SelectionRestoresTheFontSelectedBeforeIt)
{
    OwnedFont first(CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    OwnedFont second(CreateFontA(12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    {
        ObjectSelection selection(dc.Get(), first.Get());
        EXPECT_EQ(first.Get(), GetCurrentObject(dc.Get(), OBJ_FONT));
        selection.Select(second.Get());
        EXPECT_EQ(second.Get(), GetCurrentObject(dc.Get(), OBJ_FONT));
    }
    EXPECT_EQ(originalFont, GetCurrentObject(dc.Get(), OBJ_FONT));
}

TEST_F(MemoryDcTest, EarlyRestoreIsNotUndoneByTheEndOfTheScope)
{
    OwnedFont font(CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    OwnedFont other(CreateFontA(12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    {
        ObjectSelection selection(dc.Get(), font.Get());
        selection.Restore();
        SelectObject(dc.Get(), other.Get());
    }
    EXPECT_EQ(other.Get(), GetCurrentObject(dc.Get(), OBJ_FONT));
    SelectObject(dc.Get(), originalFont);
}

TEST(OwnedGdiObjectTest, DeletesItsObjectOnceAfterMoves)
{
    HBRUSH handle = CreateSolidBrush(RGB(1, 2, 3));
    {
        OwnedBrush brush(handle);
        OwnedBrush moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(moved.Get())));
    }
    EXPECT_EQ(0u, GetObjectType(handle));
}

} // namespace
