#include "framework/CString.h"
#include "framework/Win.h"
#include "qvedge/res/display_resource.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

std::string resourceBytes(LPCSTR name, LPCSTR type)
{
    HRSRC info = FindResourceA(nullptr, name, type);
    if (!info)
        return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return std::string(data, SizeofResource(nullptr, info));
}

// The fixed part of an extended dialog template, then its variable-length fields.
#pragma pack(push, 1)
struct DialogTemplateEx {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x, y, cx, cy;
};
#pragma pack(pop)

struct DialogFields {
    DialogTemplateEx header;
    bool menuEmpty, classEmpty;
    std::wstring title;
    WORD pointSize;
    std::wstring typeface;
};

// A menu or class field: 0 for none, 0xFFFF and an ordinal, or a string.
const WORD* skipNameOrOrdinal(const WORD* field, bool& empty)
{
    empty = *field == 0;
    if (*field == 0xFFFF)
        return field + 2;
    while (*field)
        ++field;
    return field + 1;
}

const WORD* readString(const WORD* field, std::wstring& text)
{
    text = reinterpret_cast<const wchar_t*>(field);
    return field + text.size() + 1;
}

DialogFields readDialog(UINT id)
{
    std::string bytes = resourceBytes(MAKEINTRESOURCEA(id), RT_DIALOG);
    DialogFields fields = {};
    if (bytes.size() < sizeof(DialogTemplateEx))
        return fields;
    std::memcpy(&fields.header, bytes.data(), sizeof fields.header);
    const WORD* field = reinterpret_cast<const WORD*>(bytes.data() + sizeof fields.header);
    field = skipNameOrOrdinal(field, fields.menuEmpty);
    field = skipNameOrOrdinal(field, fields.classEmpty);
    field = readString(field, fields.title);
    fields.pointSize = field[0];
    // After the point size: weight (WORD), italic and character set (BYTE each).
    readString(field + 3, fields.typeface);
    return fields;
}

struct DialogCase {
    const char* name;
    UINT id;
    DWORD style;
    DWORD exStyle;
    short cx, cy;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class DialogTemplateTest : public ::testing::TestWithParam<DialogCase> {};

INT_PTR CALLBACK emptyDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

TEST_P(DialogTemplateTest, HeaderHoldsTheStylesSizeAndFont)
{
    const DialogCase& c = GetParam();
    DialogFields dialog = readDialog(c.id);
    EXPECT_EQ(1, dialog.header.dlgVer);
    ASSERT_EQ(0xFFFF, dialog.header.signature) << "not an extended template";
    EXPECT_EQ(c.style, dialog.header.style);
    EXPECT_EQ(c.exStyle, dialog.header.exStyle);
    EXPECT_EQ(0, dialog.header.cDlgItems);
    EXPECT_EQ(0, dialog.header.x);
    EXPECT_EQ(0, dialog.header.y);
    EXPECT_EQ(c.cx, dialog.header.cx);
    EXPECT_EQ(c.cy, dialog.header.cy);
    EXPECT_TRUE(dialog.menuEmpty);
    EXPECT_TRUE(dialog.classEmpty);
    EXPECT_EQ(L"", dialog.title);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ(L"MS Shell Dlg", dialog.typeface);
}

TEST_P(DialogTemplateTest, DialogManagerBuildsAWindowWithoutChildren)
{
    const DialogCase& c = GetParam();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.id), nullptr,
                                     emptyDialogProc, 0);
    ASSERT_NE(nullptr, dialog) << GetLastError();
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(WS_POPUP, style & (WS_POPUP | WS_CHILD));
    EXPECT_EQ(0u, style & WS_CAPTION);
    EXPECT_EQ(c.style & WS_VISIBLE, style & WS_VISIBLE);
    EXPECT_EQ(c.exStyle, static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)) & c.exStyle);
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_CHILD));
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Display, DialogTemplateTest,
    ::testing::Values(
        DialogCase{"ScreensaverDialog", IDD_QUORVEL_DIALOG,
                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | DS_SETFONT | DS_FIXEDSYS, WS_EX_APPWINDOW, 320, 200},
        DialogCase{"TouchWindow", IDD_TOUCH_WINDOW, WS_POPUP | DS_SETFONT, WS_EX_TOPMOST, 660, 200}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

TEST(DisplayResourcesTest, ErrorTextsInTheStringTable)
{
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {IDS_ERROR_REGISTRY_PATH, "Error: Could not obtain configuration file path from registry."},
        {IDS_ERROR_READ_CONFIG, "Error: Could not read configuration file."},
        {IDS_ERROR_EMPTY_LIST, "Error: Empty web page list provided."},
        {IDS_ERROR_NO_WEB_PAGE, "Error: Could not show any web page, please check your network settings."},
        {IDS_ERROR_BROWSER_INIT, "Error: Cannot initialize Web browser control!"},
    };
    EXPECT_EQ(141, IDS_ERROR_REGISTRY_PATH);
    EXPECT_EQ(145, IDS_ERROR_BROWSER_INIT);
    for (const auto& c : cases) {
        CString text;
        EXPECT_TRUE(text.LoadString(c.id)) << c.id;
        EXPECT_EQ(CString(c.text), text) << c.id;
    }
}

TEST(DisplayResourcesTest, EnginePageUnderItsNameHasTheBytesOfItsId)
{
    std::string byId = resourceBytes(MAKEINTRESOURCEA(IDR_ENGINE_REPORT_HTML), RT_HTML);
    ASSERT_FALSE(byId.empty());
    EXPECT_EQ(byId, resourceBytes("UAPARSER.HTM", RT_HTML));
}

// Decoded by GDI+, as the dialog draws it: 320 x 200, black corners, grey sign and words.
TEST(DisplayResourcesTest, NoConnectionPictureDecodesToTheGreyDrawingOnBlack)
{
    std::string png = resourceBytes(MAKEINTRESOURCEA(IDB_NO_INTERNET), "PNG");
    ASSERT_EQ(0, png.compare(0, 8, "\x89PNG\r\n\x1a\n"));

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    {
        IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(png.data()), static_cast<UINT>(png.size()));
        ASSERT_NE(nullptr, stream);
        Gdiplus::Bitmap bitmap(stream);
        stream->Release();
        ASSERT_EQ(Gdiplus::Ok, bitmap.GetLastStatus());
        EXPECT_EQ(320u, bitmap.GetWidth());
        EXPECT_EQ(200u, bitmap.GetHeight());

        auto grey = [&](int x, int y) {
            Gdiplus::Color colour;
            bitmap.GetPixel(x, y, &colour);
            EXPECT_EQ(colour.GetR(), colour.GetG()) << x << "," << y;
            EXPECT_EQ(colour.GetR(), colour.GetB()) << x << "," << y;
            return colour.GetR();
        };
        EXPECT_EQ(0, grey(0, 0));
        EXPECT_EQ(0, grey(319, 199));
        EXPECT_EQ(0xA0, grey(160, 84)) << "the sign's bar crosses the centre";
        EXPECT_EQ(0xA0, grey(160, 22)) << "the sign's ring";
        int wordPixels = 0;
        for (int y = 160; y < 184; ++y)
            for (int x = 0; x < 320; ++x)
                wordPixels += grey(x, y) == 0xA0;
        EXPECT_GT(wordPixels, 300);
    }
    Gdiplus::GdiplusShutdown(token);
}
