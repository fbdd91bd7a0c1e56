#include "framework/Win.h"

#include <gtest/gtest.h>

// Other programs find the hooks in qvedge.scr by name and by ordinal.
TEST(ExportsTest, HooksAreExportedByNameAtOrdinalsOneToFour)
{
    HMODULE scr = LoadLibraryA(QVEDGE_SCR);
    ASSERT_NE(nullptr, scr) << QVEDGE_SCR << " error " << GetLastError();
    const char* names[] = {"KeyboardProc", "MouseProc", "installKbdHook", "installMouseHook"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byName = GetProcAddress(scr, names[ordinal - 1]);
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(scr, MAKEINTRESOURCEA(ordinal))) << names[ordinal - 1];
    }
    EXPECT_EQ(nullptr, GetProcAddress(scr, MAKEINTRESOURCEA(5)));
    FreeLibrary(scr);
}
