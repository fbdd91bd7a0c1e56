#include "framework/CString.h"
#include "framework/Win.h"
#include "qvedge/res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct StringCase {
    unsigned id;
    const char* text;
};

class StringTableTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringTableTest, HoldsTheProgramsText)
{
    CString text;
    ASSERT_TRUE(text.LoadString(GetParam().id));
    EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, StringTableTest,
    ::testing::Values(StringCase{IDS_APP_TITLE, "Quorvel"},
                      StringCase{IDS_USER_AGENT, "Mozilla/5.0 (Windows NT 6.2; WOW64; Trident/7.0; rv:11.0) like Gecko"},
                      StringCase{IDS_QUORVEL_FOLDER, "\\Quorvel"}, StringCase{IDS_QUORVEL_PACKAGE, "\\Quorvel.qvx"},
                      StringCase{IDS_PRODUCT_NAME, "Quorvel"}),
    [](const auto& info) { return std::to_string(info.param.id); });

TEST(ResourcesTest, ProgramIconLoadsInBothSizes)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    EXPECT_NE(LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
    EXPECT_NE(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0), nullptr);
}

TEST(ResourcesTest, ManifestAsksForCommonControlsSix)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(data, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

TEST(ResourcesTest, CommonControlsComeFromTheSideBySideStore)
{
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    EXPECT_NE(CString(path).MakeLower().Find("winsxs"), -1) << path;
}

} // namespace
