// The feature-control values over the real registry of the Wine prefix.
#include "qvedge/app/FeatureControl.h"

#include "framework/Win.h"
#include "tests/qvedge/support/FeatureValues.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

namespace {

const char* const EMULATION_KEY = FEATURE_CONTROL_KEYS[0];
const char* const GPU_KEY = FEATURE_CONTROL_KEYS[1];
const char* const TIMERS_KEY = FEATURE_CONTROL_KEYS[2];

std::optional<DWORD> dwordValue(HKEY root, const char* key, const char* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueA(root, key, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS || type != REG_DWORD)
        return std::nullopt;
    return value;
}

bool valueExists(HKEY root, const char* key, const char* name)
{
    return RegGetValueA(root, key, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The program reads the machine's values in the 32-bit view (also when built for 64 bits).
void setDword(HKEY root, const char* key, const char* name, DWORD value)
{
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0;
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const LONG status = RegSetValueExA(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(opened);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

bool keyExists(HKEY root, const char* key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// Each case writes under names of its own, so leftovers of one never hide a fault in another.
class FeatureControlTest : public ::testing::Test {
protected:
    FeatureControlTest() : turn(names) {}

    void SetUp() override
    {
        ASSERT_TRUE(turn.held());
        removeFeatureValues(names);
    }

    std::optional<DWORD> user(const char* key, const CString& name) const
    {
        return dwordValue(HKEY_CURRENT_USER, key, name);
    }
    void expectNothingWrittenFor(const CString& name) const
    {
        for (const char* key : FEATURE_CONTROL_KEYS)
            EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key, name)) << key << " " << name.GetString();
    }

    static std::string caseName()
    {
        return ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }

    FeatureControlNames names{("qvfc-" + caseName() + ".exe").c_str(),
                              ("QVFC~" + caseName().substr(0, 2) + ".EXE").c_str()};
    FeatureValuesTurn turn;
};

TEST_F(FeatureControlTest, WritesDocumentModeGpuAndTimersForBothNames)
{
    EXPECT_TRUE(SetupRegistry(names));
    for (const CString& name : {names.longName, names.shortName}) {
        EXPECT_EQ(user(EMULATION_KEY, name), 11000u);
        EXPECT_EQ(user(GPU_KEY, name), 1u);
        EXPECT_EQ(user(TIMERS_KEY, name), 1u);
    }
}

TEST_F(FeatureControlTest, LongNameListedForTheMachineWritesNothing)
{
    setDword(HKEY_LOCAL_MACHINE, EMULATION_KEY, names.longName, 7);
    EXPECT_FALSE(SetupRegistry(names));
    expectNothingWrittenFor(names.longName);
    expectNothingWrittenFor(names.shortName);
}

TEST_F(FeatureControlTest, LongNameListedForTheUserWritesNothingElse)
{
    setDword(HKEY_CURRENT_USER, EMULATION_KEY, names.longName, 5);
    EXPECT_FALSE(SetupRegistry(names));
    EXPECT_EQ(user(EMULATION_KEY, names.longName), 5u);
    expectNothingWrittenFor(names.shortName);
    EXPECT_FALSE(user(GPU_KEY, names.longName));
    EXPECT_FALSE(user(TIMERS_KEY, names.longName));
}

TEST_F(FeatureControlTest, ShortNameListedForTheMachineDoesNotStopTheWrite)
{
    setDword(HKEY_LOCAL_MACHINE, EMULATION_KEY, names.shortName, 7);
    EXPECT_TRUE(SetupRegistry(names));
    EXPECT_EQ(user(EMULATION_KEY, names.longName), 11000u);
}

TEST_F(FeatureControlTest, CreatesTheUserKeyEvenWhenThereIsNothingToWrite)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, EMULATION_KEY);
    ASSERT_FALSE(keyExists(HKEY_CURRENT_USER, EMULATION_KEY));
    // The registry wrapper writes no value without a name.
    EXPECT_TRUE(SetupRegistry({"", ""}));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, EMULATION_KEY));
    for (const char* key : FEATURE_CONTROL_KEYS)
        EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key, "")) << key;
}

TEST_F(FeatureControlTest, EmptyShortNameWritesOnlyTheLongName)
{
    EXPECT_TRUE(SetupRegistry({names.longName, ""}));
    EXPECT_EQ(user(EMULATION_KEY, names.longName), 11000u);
    EXPECT_EQ(user(GPU_KEY, names.longName), 1u);
    EXPECT_EQ(user(TIMERS_KEY, names.longName), 1u);
    for (const char* key : FEATURE_CONTROL_KEYS)
        EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, key, "")) << key;
}

TEST_F(FeatureControlTest, ExistingValuesKeepTheirNumbers)
{
    setDword(HKEY_CURRENT_USER, GPU_KEY, names.longName, 0);
    setDword(HKEY_CURRENT_USER, TIMERS_KEY, names.shortName, 9);
    EXPECT_TRUE(SetupRegistry(names));
    EXPECT_EQ(user(GPU_KEY, names.longName), 0u);
    EXPECT_EQ(user(GPU_KEY, names.shortName), 1u);
    EXPECT_EQ(user(TIMERS_KEY, names.longName), 1u);
    EXPECT_EQ(user(TIMERS_KEY, names.shortName), 9u);
}

// The listing is case-sensitive, the entry lookup is not: the differently cased value is
// the one that takes the new number.
TEST_F(FeatureControlTest, NameInOtherCaseCountsAsAbsentAndIsOverwritten)
{
    std::string upper = names.longName.str();
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    setDword(HKEY_CURRENT_USER, EMULATION_KEY, upper.c_str(), 5);
    setDword(HKEY_CURRENT_USER, GPU_KEY, upper.c_str(), 0);
    EXPECT_TRUE(SetupRegistry(names));
    EXPECT_EQ(user(EMULATION_KEY, names.longName), 11000u);
    EXPECT_EQ(user(GPU_KEY, names.longName), 1u);
}

TEST_F(FeatureControlTest, EqualNamesWriteEachValueOnce)
{
    EXPECT_TRUE(SetupRegistry({names.longName, names.longName}));
    EXPECT_EQ(user(EMULATION_KEY, names.longName), 11000u);
    EXPECT_EQ(user(GPU_KEY, names.longName), 1u);
    EXPECT_EQ(user(TIMERS_KEY, names.longName), 1u);
}

// What makes the second of two equal names write nothing: the first write lists the name.
TEST_F(FeatureControlTest, WrittenNameIsListedForTheNextWrite)
{
    CRegistry registry(CRegistry::flagCreate);
    ASSERT_GE(registry.Open(GPU_KEY, HKEY_CURRENT_USER, KEY_QUERY_VALUE | KEY_SET_VALUE, FALSE), 0);
    EXPECT_FALSE(registryHasValue(registry, names.longName));
    setRegistryDwordIfAbsent(registry, names.longName, 5);
    EXPECT_TRUE(registryHasValue(registry, names.longName));
    setRegistryDwordIfAbsent(registry, names.longName, 6);
    EXPECT_EQ(user(GPU_KEY, names.longName), 5u);
}

TEST_F(FeatureControlTest, ListingComparesWholeNamesWithCase)
{
    setDword(HKEY_CURRENT_USER, GPU_KEY, names.longName, 3);
    CRegistry registry;
    ASSERT_EQ(registry.Open(GPU_KEY, HKEY_CURRENT_USER, KEY_READ, FALSE), 1);
    EXPECT_TRUE(registryHasValue(registry, names.longName));
    EXPECT_FALSE(registryHasValue(registry, names.longName.Left(names.longName.GetLength() - 1)));
    EXPECT_FALSE(registryHasValue(registry, names.longName + "x"));
    EXPECT_FALSE(registryHasValue(registry, "QVFC-" + names.longName.Mid(5)));
}

struct FileNameCase {
    const char* path;
    const char* name;
};

class FileNamePartTest : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(FileNamePartTest, KeepsTheExtension)
{
    EXPECT_EQ(fileNamePart(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileNamePartTest,
                         ::testing::Values(FileNameCase{"C:\\Dir\\test_qvedge.exe", "test_qvedge.exe"},
                                           FileNameCase{"C:\\PROGRA~1\\TEST_Q~1.EXE", "TEST_Q~1.EXE"},
                                           FileNameCase{"C:\\Dir.d\\saver", "saver"},
                                           FileNameCase{"saver.scr", "saver.scr"},
                                           FileNameCase{"", ""}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(FeatureControlProgramTest, ProgramNamesAreTheFileNameAndItsShortForm)
{
    const FeatureControlNames names = programFeatureControlNames();
    EXPECT_EQ(names.longName, "test_qvedge.exe");
    const int dot = names.shortName.ReverseFind('.');
    ASSERT_GT(dot, 0) << names.shortName.GetString();
    EXPECT_LE(dot, 8);
    EXPECT_EQ(names.shortName.Mid(dot).CompareNoCase(".exe"), 0);
}

TEST(FeatureControlProgramTest, SetupRegistryWritesForTheRunningProgram)
{
    const FeatureValuesTurn turn;
    ASSERT_TRUE(turn.held());
    const FeatureControlNames names = programFeatureControlNames();
    removeFeatureValues(names);
    SetupRegistry();
    for (const CString& name : {names.longName, names.shortName}) {
        EXPECT_EQ(dwordValue(HKEY_CURRENT_USER, EMULATION_KEY, name), 11000u) << name.GetString();
        EXPECT_EQ(dwordValue(HKEY_CURRENT_USER, GPU_KEY, name), 1u);
        EXPECT_EQ(dwordValue(HKEY_CURRENT_USER, TIMERS_KEY, name), 1u);
    }
}

} // namespace
