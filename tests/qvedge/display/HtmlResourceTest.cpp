#include "qvedge/display/HtmlResource.h"

#include "framework/Win.h"
#include "qvedge/res/display_resource.h"
#include "tests/qvedge/res/test_resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string rawHtmlResource(unsigned id)
{
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_HTML);
    if (!info)
        return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return std::string(data, SizeofResource(nullptr, info));
}

bool contains(const CString& text, const char* part)
{
    return text.Find(part) >= 0;
}

} // namespace

TEST(HtmlResourceTest, EngineReportPageCarriesTheParserAndTheVersionPlaceholder)
{
    CString html;
    ASSERT_TRUE(loadHtmlResource(IDR_ENGINE_REPORT_HTML, html));
    EXPECT_EQ(0, html.Find("<!DOCTYPE html>"));
    EXPECT_TRUE(contains(html, "UAParser.js v1.0.40"));
    EXPECT_TRUE(contains(html, "LIBVERSION=\"1.0.40\""));
    EXPECT_TRUE(contains(html, "Quorvel v%%VERSION%%<br>Using <span id=\"browser\"></span> as the rendering engine."));
    EXPECT_TRUE(contains(html, "\"Internet Explorer WebBrowser Control\""));
    EXPECT_TRUE(contains(html, "\"Microsoft Edge WebView2 Runtime\""));
    EXPECT_FALSE(contains(html, "@UAPARSER_JS@"));
    EXPECT_EQ(1, html.Replace("%%VERSION%%", "25.0.1.0"));
}

// The last byte of the resource is the page's closing newline; the loader leaves it out.
TEST(HtmlResourceTest, TakesAllButTheLastByte)
{
    std::string raw = rawHtmlResource(IDR_ENGINE_REPORT_HTML);
    ASSERT_GT(raw.size(), 1000u);
    EXPECT_EQ('\n', raw.back());

    CString html;
    ASSERT_TRUE(loadHtmlResource(IDR_ENGINE_REPORT_HTML, html));
    EXPECT_EQ(raw.substr(0, raw.size() - 1), html.str());
    EXPECT_EQ(html.GetLength() - 7, html.Find("</html>"));
}

TEST(HtmlResourceTest, ResourcesOfOneByteOrNoneGiveAnEmptyPage)
{
    for (unsigned id : {IDR_TEST_ONE_BYTE_HTML, IDR_TEST_EMPTY_HTML}) {
        CString html = "previous";
        EXPECT_TRUE(loadHtmlResource(id, html)) << id;
        EXPECT_TRUE(html.IsEmpty()) << id << ": " << html.GetString();
    }
}

// Ids without an RT_HTML resource: none at all, or one of another type.
TEST(HtmlResourceTest, NoHtmlResourceOfThatIdLeavesTheStringUntouched)
{
    for (unsigned id : {9999u, unsigned(IDD_QUORVEL_DIALOG), unsigned(IDR_LOADING_AVI), unsigned(IDB_NO_INTERNET)}) {
        CString html = "previous";
        EXPECT_FALSE(loadHtmlResource(id, html)) << id;
        EXPECT_EQ(CString("previous"), html) << id;
    }
}
