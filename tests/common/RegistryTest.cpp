#include "common/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

struct RawValue {
    DWORD type;
    Bytes data;
};

// Each case works under a key of its own below HKCU, removed before and after.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& ch : name)
            if (ch == '/')
                ch = '.';
        base = "Software\\QuorvelTests\\" + name;
        RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    }

    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }

    std::string path(const char* child) const { return base + "\\" + child; }

    void setRaw(const std::string& key, const std::string& name, DWORD type, const Bytes& data) const
    {
        HKEY opened = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &opened, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(opened, name.c_str(), 0, type, data.data(),
                                                static_cast<DWORD>(data.size())));
        RegCloseKey(opened);
    }

    void setDword(const std::string& key, const std::string& name, DWORD value) const
    {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
        setRaw(key, name, REG_DWORD, Bytes(bytes, bytes + sizeof value));
    }

    std::optional<RawValue> readRaw(const std::string& key, const std::string& name) const
    {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            return std::nullopt;
        RawValue value{0, Bytes(8192)};
        DWORD size = static_cast<DWORD>(value.data.size());
        const LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        RegCloseKey(opened);
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        value.data.resize(size);
        return value;
    }

    bool keyExists(const std::string& key) const
    {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
            return false;
        RegCloseKey(opened);
        return true;
    }

    std::string base;
};

std::vector<std::string> entryNames(const CRegistry& registry)
{
    std::vector<std::string> names;
    for (const auto& entry : registry.GetEntries())
        names.push_back(entry->GetName());
    return names;
}

// Open's result

TEST_F(RegistryTest, OpenOfMissingKeyReturnsTheErrorCode)
{
    CRegistry registry;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.Open(path("Missing").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_FALSE(keyExists(path("Missing")));
    EXPECT_FALSE(registry.Refresh());
}

TEST_F(RegistryTest, OpenWithCreateFlagCreatesTheKeyAndLoadsIt)
{
    CRegistry registry(CRegistry::flagCreate);
    EXPECT_EQ(1, registry.Open(path("New").c_str(), HKEY_CURRENT_USER, KEY_QUERY_VALUE | KEY_SET_VALUE, FALSE));
    EXPECT_TRUE(keyExists(path("New")));
    EXPECT_TRUE(registry.GetEntries().empty());
}

TEST_F(RegistryTest, OpenLoadsTheValuesAndReturnsOne)
{
    setDword(path("Key"), "Number", 42);
    CRegistry registry;
    EXPECT_EQ(1, registry.Open(path("Key").c_str(), HKEY_CURRENT_USER, KEY_READ, FALSE));
    ASSERT_EQ(1u, registry.GetEntries().size());
    EXPECT_STREQ("Number", registry.GetEntries()[0]->GetName());
    EXPECT_EQ(42u, registry.GetEntries()[0]->GetDword());
}

// Wine lets a performance-data handle open but not be queried: a key whose values cannot
// be listed.
TEST_F(RegistryTest, OpenReturnsZeroWhenTheValuesCannotBeListed)
{
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_PERFORMANCE_DATA, "", 0, KEY_READ, &probe));
    DWORD count = 0;
    const LONG queried = RegQueryInfoKeyA(probe, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                          nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(probe);
    if (queried == ERROR_SUCCESS)
        GTEST_SKIP() << "this platform lists performance data like a key";

    CRegistry registry;
    EXPECT_EQ(0, registry.Open("", HKEY_PERFORMANCE_DATA, KEY_READ, FALSE));
    EXPECT_TRUE(registry.GetEntries().empty());
}

TEST_F(RegistryTest, RefreshFailsOnceTheKeyIsDeleted)
{
    setDword(path("Key"), "Number", 1);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("Key").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CURRENT_USER, path("Key").c_str()));
    EXPECT_FALSE(registry.Refresh());
}

TEST_F(RegistryTest, ReopenReturnsZeroKeepsEntriesAndWritesToTheNewKey)
{
    setDword(path("First"), "Shared", 1);
    setDword(path("Second"), "Other", 2);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("First").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(0, registry.Open(path("Second").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, TRUE));
    EXPECT_EQ(std::vector<std::string>{"Shared"}, entryNames(registry));

    registry["Shared"].SetDword(9);
    ASSERT_TRUE(readRaw(path("Second"), "Shared"));
    EXPECT_EQ(REG_DWORD, readRaw(path("Second"), "Shared")->type);
    EXPECT_EQ(1u, *reinterpret_cast<const DWORD*>(readRaw(path("First"), "Shared")->data.data()));

    // The name stored by the first open still decides whether a later open keeps the cache.
    EXPECT_EQ(1, registry.Open(path("FIRST").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(std::vector<std::string>{"Shared"}, entryNames(registry));
    EXPECT_EQ(1u, registry["Shared"].GetDword());
}

// Cache across opens

TEST_F(RegistryTest, SecondKeyDifferingOnlyInCaseKeepsTheCachedEntries)
{
    setDword(path("Alpha"), "Gone", 1);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("Alpha").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, path("Alpha").c_str(), "Gone");
    setDword(path("Alpha"), "Added", 2);

    EXPECT_EQ(1, registry.Open(path("ALPHA").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ((std::vector<std::string>{"Gone", "Added"}), entryNames(registry));
}

TEST_F(RegistryTest, OpeningAnotherKeyDropsTheCachedEntries)
{
    setDword(path("Alpha"), "FromAlpha", 1);
    setDword(path("Beta"), "FromBeta", 2);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("Alpha").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(1, registry.Open(path("Beta").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(std::vector<std::string>{"FromBeta"}, entryNames(registry));
}

TEST_F(RegistryTest, LookupIgnoresCaseAndWritesToTheExistingValue)
{
    setDword(path("Key"), "MixedCase", 1);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("Key").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    CRegEntry& entry = registry["MIXEDCASE"];
    EXPECT_EQ(&entry, &registry["mixedcase"]);
    EXPECT_STREQ("MixedCase", entry.GetName());
    ASSERT_EQ(1u, registry.GetEntries().size());

    entry.SetDword(11000);
    EXPECT_EQ(11000u, *reinterpret_cast<const DWORD*>(readRaw(path("Key"), "MixedCase")->data.data()));
}

TEST_F(RegistryTest, LookupOfANewNameAppendsAnEmptyEntry)
{
    CRegistry registry;
    CRegEntry& first = registry["One"];
    CRegEntry& second = registry["Two"];
    EXPECT_NE(&first, &second);
    EXPECT_EQ((std::vector<std::string>{"One", "Two"}), entryNames(registry));
    EXPECT_EQ(0u, second.GetType());
    EXPECT_EQ(nullptr, second.GetString());
}

// Loading

TEST_F(RegistryTest, RefreshLoadsEachTypeAndSkipsWhatDoesNotFit)
{
    const std::string key = path("Key");
    setRaw(key, "Text", REG_SZ, bytesOf(std::string("hello") + '\0'));
    setDword(key, "Number", 0x12345678);
    setRaw(key, "Bytes", REG_BINARY, Bytes{1, 0, 2});
    setRaw(key, "List", REG_MULTI_SZ, bytesOf(std::string("a\0bc\0\0", 6)));
    setRaw(key, "Expand", REG_EXPAND_SZ, bytesOf(std::string("%TEMP%") + '\0'));
    setRaw(key, std::string(259, 'n'), REG_DWORD, Bytes(4, 1));
    setRaw(key, std::string(260, 'o'), REG_DWORD, Bytes(4, 1));
    setRaw(key, "Fits", REG_BINARY, Bytes(2048, 7));
    setRaw(key, "TooLong", REG_BINARY, Bytes(2049, 7));

    CRegistry registry;
    ASSERT_EQ(1, registry.Open(key.c_str(), HKEY_CURRENT_USER, KEY_READ, FALSE));
    std::vector<std::string> names = entryNames(registry);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Bytes", "Fits", "List", "Number", "Text", std::string(259, 'n')}), names);

    EXPECT_EQ(static_cast<DWORD>(REG_SZ), registry["Text"].GetType());
    EXPECT_STREQ("hello", registry["Text"].GetString());
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), registry["Number"].GetType());
    EXPECT_EQ(0x12345678u, registry["Number"].GetDword());
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), registry["Bytes"].GetType());
    EXPECT_EQ((Bytes{1, 0, 2}), registry["Bytes"].GetBinary());
    EXPECT_EQ(Bytes(2048, 7), registry["Fits"].GetBinary());
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), registry["List"].GetType());
    EXPECT_EQ((std::vector<std::string>{"a", "bc"}), registry["List"].GetStrings());
}

// Loading must not write the values back: the key would report a change, and a short
// number would grow to four bytes. The value listed before it leaves its bytes in the
// buffer, which the short number must not pick up.
TEST_F(RegistryTest, LoadingWritesNothingBack)
{
    const std::string key = path("Key");
    setRaw(key, "Before", REG_BINARY, Bytes{9, 9, 9, 9});
    setRaw(key, "Short", REG_DWORD, Bytes{5, 1});
    setRaw(key, "Unterminated", REG_SZ, bytesOf("abc"));
    setRaw(key, "Bytes", REG_BINARY, Bytes{1, 2});
    setRaw(key, "List", REG_MULTI_SZ, bytesOf(std::string("a\0\0", 3)));
    HKEY watched = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_NOTIFY, &watched));
    HANDLE changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(ERROR_SUCCESS, RegNotifyChangeKeyValue(watched, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE));

    CRegistry registry;
    ASSERT_EQ(1, registry.Open(key.c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(0x105u, registry["Short"].GetDword());
    EXPECT_STREQ("abc", registry["Unterminated"].GetString());
    EXPECT_EQ(5u, registry.GetEntries().size());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(changed, 200));
    EXPECT_EQ((Bytes{5, 1}), readRaw(key, "Short")->data);

    // The watch itself works: a store after loading is seen.
    registry["Short"].SetDword(6);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(changed, 2000));
    CloseHandle(changed);
    RegCloseKey(watched);
}

// Storing

TEST_F(RegistryTest, SettersWriteThroughToTheOpenKey)
{
    const std::string key = path("Key");
    CRegistry registry(CRegistry::flagCreate);
    ASSERT_EQ(1, registry.Open(key.c_str(), HKEY_CURRENT_USER, KEY_QUERY_VALUE | KEY_SET_VALUE, FALSE));

    registry["Text"].SetString("hello");
    registry["Number"].SetDword(0x01020304);
    const BYTE bytes[] = {9, 0, 8};
    registry["Bytes"].SetBinary(bytes, sizeof bytes);
    // A single string without the list's final NUL: no strings kept, bytes written unchanged.
    const std::string list("abc\0", 4);
    registry["List"].SetMultiString(reinterpret_cast<const BYTE*>(list.data()), 4);

    const std::optional<RawValue> text = readRaw(key, "Text");
    ASSERT_TRUE(text);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), text->type);
    EXPECT_EQ(bytesOf(std::string("hello") + '\0'), text->data);
    const std::optional<RawValue> number = readRaw(key, "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), number->type);
    EXPECT_EQ((Bytes{4, 3, 2, 1}), number->data);
    const std::optional<RawValue> binary = readRaw(key, "Bytes");
    ASSERT_TRUE(binary);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), binary->type);
    EXPECT_EQ((Bytes{9, 0, 8}), binary->data);
    const std::optional<RawValue> multi = readRaw(key, "List");
    ASSERT_TRUE(multi);
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), multi->type);
    EXPECT_EQ(bytesOf(list), multi->data);
    EXPECT_TRUE(registry["List"].GetStrings().empty());
}

TEST_F(RegistryTest, LongTextIsWrittenWholeAndCachedCut)
{
    const std::string key = path("Key");
    CRegistry registry(CRegistry::flagCreate);
    ASSERT_EQ(1, registry.Open(key.c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    const std::string fits(2047, 'f');
    registry["Fits"].SetString(fits.c_str());
    EXPECT_EQ(fits, registry["Fits"].GetString());

    const std::string longText(3000, 'x');
    registry["Long"].SetString(longText.c_str());
    EXPECT_EQ(std::string(2047, 'x'), registry["Long"].GetString());
    EXPECT_EQ(bytesOf(longText + '\0'), readRaw(key, "Long")->data);

    registry["Long"].SetString("short");
    EXPECT_STREQ("short", registry["Long"].GetString());
}

TEST_F(RegistryTest, SetBinaryOfSizeZeroChangesNothing)
{
    const std::string key = path("Key");
    CRegistry registry(CRegistry::flagCreate);
    ASSERT_EQ(1, registry.Open(key.c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    CRegEntry& entry = registry["Value"];
    entry.SetString("keep");
    const BYTE bytes[] = {1, 2};
    entry.SetBinary(bytes, 0);

    EXPECT_EQ(static_cast<DWORD>(REG_SZ), entry.GetType());
    EXPECT_STREQ("keep", entry.GetString());
    EXPECT_TRUE(entry.GetBinary().empty());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), readRaw(key, "Value")->type);
    EXPECT_EQ(bytesOf(std::string("keep") + '\0'), readRaw(key, "Value")->data);
}

TEST_F(RegistryTest, NeverOpenedWritesNothingButKeepsTheValue)
{
    CRegistry registry;
    CRegEntry& entry = registry["Number"];
    entry.SetDword(7);
    entry.SetString("text");
    EXPECT_EQ(7u, entry.GetDword());
    EXPECT_STREQ("text", entry.GetString());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), entry.GetType());
}

// A failed open closes the key it had, so the old key receives nothing afterwards.
TEST_F(RegistryTest, FailedOpenLeavesNoKeyToWriteTo)
{
    setDword(path("Open"), "Number", 1);
    CRegistry registry;
    ASSERT_EQ(1, registry.Open(path("Open").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              registry.Open(path("Missing").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, TRUE));
    registry["Number"].SetDword(2);
    registry["Added"].SetDword(3);
    EXPECT_EQ(1u, *reinterpret_cast<const DWORD*>(readRaw(path("Open"), "Number")->data.data()));
    EXPECT_FALSE(readRaw(path("Open"), "Added"));
    EXPECT_EQ(2u, registry["Number"].GetDword());
}

TEST_F(RegistryTest, DestructorClosesTheKeySoItCanBeDeleted)
{
    {
        CRegistry registry(CRegistry::flagCreate);
        ASSERT_EQ(1, registry.Open(path("Key").c_str(), HKEY_CURRENT_USER, KEY_ALL_ACCESS, FALSE));
    }
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()));
    EXPECT_FALSE(keyExists(path("Key")));
}

// Splitting a list

struct MultiStringCase {
    const char* label;
    std::string bytes;
    std::vector<std::string> strings;
};

std::ostream& operator<<(std::ostream& out, const MultiStringCase& c)
{
    return out << c.label;
}

class MultiStringSplit : public testing::TestWithParam<MultiStringCase> {};

TEST_P(MultiStringSplit, KeepsTheStringsEndedBeforeTheFinalNul)
{
    const MultiStringCase& c = GetParam();
    CRegistry registry;
    CRegEntry& entry = registry["List"];
    const std::string previous("old\0\0", 5);
    entry.SetMultiString(reinterpret_cast<const BYTE*>(previous.data()), 5);
    entry.SetMultiString(reinterpret_cast<const BYTE*>(c.bytes.data()), static_cast<DWORD>(c.bytes.size()));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), entry.GetType());
    EXPECT_EQ(c.strings, entry.GetStrings());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MultiStringSplit,
    testing::Values(MultiStringCase{"TwoStrings", std::string("a\0b\0\0", 5), {"a", "b"}},
                    MultiStringCase{"SingleWithoutFinalNul", std::string("abc\0", 4), {}},
                    MultiStringCase{"EmptyList", std::string("\0\0", 2), {}},
                    MultiStringCase{"Nothing", std::string(), {}},
                    MultiStringCase{"TwoBytesOfText", std::string("ab", 2), {}},
                    MultiStringCase{"LastWithoutTerminator", std::string("a\0bc", 4), {"a"}},
                    MultiStringCase{"SecondWithoutFinalNul", std::string("a\0b\0", 4), {"a"}},
                    MultiStringCase{"EmptyStringInside", std::string("a\0\0b\0\0", 6), {"a", "", "b"}},
                    MultiStringCase{"NoNulAtAll", std::string("abc", 3), {}}),
    [](const testing::TestParamInfo<MultiStringCase>& info) { return std::string(info.param.label); });

}  // namespace
