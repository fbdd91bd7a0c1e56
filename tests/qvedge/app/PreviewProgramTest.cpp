// The real qvedge.scr in preview mode under Wine: its child window in a parent window of
// this test, as the settings dialog would hand it over, and its error box when there is
// no configuration.
#include "framework/Win.h"
#include "tests/qvedge/support/ErrorBoxWindow.h"
#include "tests/qvedge/support/ProgramRun.h"
#include "tests/qvedge/support/ProgramWorkspace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const READ_ERROR = "Error: Could not read configuration file.";
// The size of the settings dialog's preview area.
constexpr int PREVIEW_WIDTH = 152;
constexpr int PREVIEW_HEIGHT = 112;
// A border makes the parent's client area differ from its window.
constexpr DWORD PARENT_STYLE = WS_POPUP | WS_BORDER | WS_VISIBLE;

// A parent window of this thread whose client area has the preview's size; destroyed at
// the end unless the test did it.
class PreviewParent {
public:
    PreviewParent()
    {
        RECT frame{0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
        AdjustWindowRect(&frame, PARENT_STYLE, FALSE);
        window = CreateWindowExA(0, "STATIC", "settings", PARENT_STYLE, 0, 0, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    }
    ~PreviewParent() { destroy(); }
    PreviewParent(const PreviewParent&) = delete;
    PreviewParent& operator=(const PreviewParent&) = delete;

    void destroy()
    {
        if (window)
            DestroyWindow(window);
        window = nullptr;
    }
    std::string argument() const { return std::to_string(reinterpret_cast<INT_PTR>(window)); }

    HWND window = nullptr;
};

// The parent's client rectangle in screen coordinates.
RECT clientOnScreen(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

std::string windowText(HWND window)
{
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class PreviewProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(parent.window, nullptr);
        ASSERT_FALSE(program.empty());
    }

    ProgramWorkspace workspace;
    const std::string program = workspace.plainCopy("qvpreview.scr");
    PreviewParent parent;
};

// With a configuration (the ".dat" file beside the copy), and with the engine word, which
// skips the configuration: the preview lives in the given window and ends with it.
struct PreviewCase {
    const char* name;
    bool datFile;
    const char* words;
};

const PreviewCase previewCases[] = {
    {"DatFileBesideTheCopy", true, "/p "},
    {"EngineWordWithoutConfiguration", false, "/engine /p "},
};

class PreviewLivesTest : public PreviewProgramTest, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(PreviewLivesTest, FillsTheGivenWindowAndEndsWithIt)
{
    if (GetParam().datFile) {
        ASSERT_FALSE(workspace.package("qvpreview.dat", configDocument("Preview Author", true)).empty());
    }
    CleanRun run(GetParam().words + parent.argument(), program);
    ASSERT_TRUE(run.program.started);

    HWND child = nullptr;
    bool ended = false;
    for (DWORD start = GetTickCount(); !child && !ended && GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        ended = waitPumping(run.program, 50);
        child = GetWindow(parent.window, GW_CHILD);
    }
    ASSERT_NE(child, nullptr) << (ended ? "the program ended without a preview" : "no preview appeared");
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    EXPECT_EQ(owner, run.program.info.dwProcessId);
    EXPECT_EQ(windowText(child), "preview");
    RECT rect;
    GetWindowRect(child, &rect);
    const RECT client = clientOnScreen(parent.window);
    EXPECT_EQ(rect.left, client.left);
    EXPECT_EQ(rect.top, client.top);
    EXPECT_EQ(rect.right - rect.left, PREVIEW_WIDTH);
    EXPECT_EQ(rect.bottom - rect.top, PREVIEW_HEIGHT);
    // The program paints its child itself; its pixels are not visible from here.
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(waitPumping(run.program, 500)) << "ended while painting";

    parent.destroy();
    ASSERT_TRUE(waitPumping(run.program, PROGRAM_TIME_LIMIT_MS));
    EXPECT_EQ(run.program.exitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Configurations, PreviewLivesTest, ::testing::ValuesIn(previewCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreviewProgramTest, WithoutConfigurationShowsTheReadErrorAndNoPreview)
{
    CleanRun run("/p " + parent.argument(), program);
    ASSERT_TRUE(run.program.started);

    HWND box = nullptr;
    bool ended = false;
    for (DWORD start = GetTickCount(); !box && !ended && GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        ended = waitPumping(run.program, 50);
        box = waitForErrorBox(run.program.info.dwProcessId, 0);
    }
    ASSERT_NE(box, nullptr) << (ended ? "the program ended without its error box" : "no error box appeared");
    EXPECT_TRUE(showsText(box, READ_ERROR));
    EXPECT_EQ(GetWindow(parent.window, GW_CHILD), nullptr);

    clickOk(box);
    ASSERT_TRUE(waitPumping(run.program, PROGRAM_TIME_LIMIT_MS));
    EXPECT_EQ(run.program.exitCode(), 0u);
    EXPECT_EQ(GetWindow(parent.window, GW_CHILD), nullptr);
}

} // namespace
