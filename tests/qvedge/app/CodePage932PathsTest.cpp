// Every place the program cuts a path, under the Japanese code page, at a letter whose trail
// byte is a backslash.
#include "qvedge/app/FeatureControl.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/config/QuorvelConf.h"
#include "qvedge/views/edge/WebView2Wrapper.h"
#include "tests/CodePage932.h"

#include <functional>
#include <string>

namespace {

CString dataFolderOf(const char* packagePath)
{
    CQuorvelConf config;
    config.packagePath = packagePath;
    config.ParseConfigurationFile("<c><urlList><u adr=\"https://a.example/\"/></urlList></c>");
    return config.dataFolder;
}

struct PathCutCase {
    const char* name;
    std::function<CString()> cut;
    const char* expected;
};

class CodePage932PathCutTest : public CodePage932TestWithParam<PathCutCase> {};

TEST_P(CodePage932PathCutTest, KeepsTheWholeLetter)
{
    EXPECT_STREQ(GetParam().expected, GetParam().cut());
}

const PathCutCase pathCutCases[] = {
    {"ModuleBaseName", [] { return CString(moduleBaseNameOf("C:\\Dir\\" SOFUTO ".scr")); }, SOFUTO},
    {"ModuleBaseNameWithoutFolder", [] { return CString(moduleBaseNameOf(SOFUTO ".scr")); }, SOFUTO},
    {"ModuleFolder", [] { return moduleDirOf("C:\\Dir\\" SOFUTO); }, "C:\\Dir"},
    {"ModuleFolderOfANameAlone", [] { return moduleDirOf(SOFUTO ".scr"); }, ""},
    {"FeatureValueName", [] { return fileNamePart("C:\\Dir\\" SOFUTO ".scr"); }, SOFUTO ".scr"},
    {"DataFolder", [] { return dataFolderOf("C:\\Packages\\" SOFUTO ".qvx"); }, "C:\\Packages\\data"},
    {"DataFolderOfANameAlone", [] { return dataFolderOf(SOFUTO ".qvx"); }, SOFUTO ".qvx\\data"},
    {"WebView2UserDataFolder", [] { return webView2UserDataFolder("C:\\Temp\\", "C:\\Apps\\" SOFUTO ".scr"); },
     "C:\\Temp\\" SOFUTO ".scr"},
};

INSTANTIATE_TEST_SUITE_P(Cuts, CodePage932PathCutTest, testing::ValuesIn(pathCutCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
