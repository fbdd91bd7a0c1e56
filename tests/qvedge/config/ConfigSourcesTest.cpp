#include "qvedge/config/QuorvelConf.h"

#include "common/Crypto.h"
#include "common/PackageFormat.h"
#include "framework/CArchive.h"
#include "framework/CObject.h"
#include "framework/Win.h"
#include "tests/common/TestFiles.h"
#include "tests/qvedge/support/AllocationFailure.h"
#include "tests/qvedge/support/LogCapture.h"
#include "tests/qvedge/support/RegistryKeyTurn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace {

const std::string goodDocument =
    "<?xml version=\"1.0\"?>\n<qvx><timeOut value=\"7000\"/>"
    "<urlList><u adr=\"https://a.example/\"/><u adr=\"https://b.example/\"/></urlList></qvx>\n";
const std::string emptyListDocument = "<?xml version=\"1.0\"?>\n<qvx><urlList/></qvx>\n";

std::string bytesOf(const CByteArray& array)
{
    return std::string(reinterpret_cast<const char*>(array.GetData()), static_cast<size_t>(array.GetSize()));
}

std::string encrypted(const std::string& text)
{
    MFC::CCrypto crypto;
    CByteArray ciphertext;
    EXPECT_TRUE(crypto.DeriveKey(configPassPhrase));
    EXPECT_TRUE(crypto.EncryptString(CString(text), ciphertext));
    return bytesOf(ciphertext);
}

// An object that archives nothing: its ciphertext decrypts to no whole string.
class NothingArchived : public CObject {
public:
    void Serialize(CArchive&) override {}
};

std::string encryptedNonString()
{
    MFC::CCrypto crypto;
    CByteArray ciphertext;
    NothingArchived nothing;
    EXPECT_TRUE(crypto.DeriveKey(configPassPhrase));
    EXPECT_TRUE(crypto.EncryptObject(nothing, ciphertext));
    return bytesOf(ciphertext);
}

std::string littleEndian(uint32_t value)
{
    std::string field;
    for (int i = 0; i < 4; ++i)
        field += static_cast<char>(value >> (8 * i) & 0xFF);
    return field;
}

const std::string programBytes = std::string("MZ\x90\0\3\0\0\0 a program of sorts ", 28);

std::string selfContained(const std::string& payload)
{
    return programBytes + payload + littleEndian(static_cast<uint32_t>(payload.size())) + "QVX2.6";
}

struct TrailerCase {
    const char* name;
    std::string file;
    int result;
    const char* logged;
};

class TrailerTest : public ::testing::TestWithParam<TrailerCase> {};

TEST_P(TrailerTest, ReadsTheNamedFile)
{
    TempFile file;
    ASSERT_TRUE(WriteBytes(file.Path(), GetParam().file));
    LogCapture log;
    CQuorvelConf config;
    EXPECT_EQ(config.ReadConfigurationFileSelf(file.Path()), GetParam().result);
    EXPECT_EQ(config.packagePath, "");
    const auto records = log.records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[0], std::string("QuorvelConf.cpp\tReadConfigurationFileSelf\tconfPath from path param = ") +
                              file.Path());
    EXPECT_EQ(records[1], "QuorvelConf.cpp\tReadConfigurationFileSelf\tconfPath open OK");
    if (*GetParam().logged) {
        ASSERT_GE(records.size(), 3u);
        EXPECT_EQ(records[2].rfind(std::string("QuorvelConf.cpp\tReadConfigurationFileSelf\t") + GetParam().logged, 0),
                  0u)
            << records[2];
    }
}

std::string withTag(std::string file, const char* tag)
{
    return file.replace(file.size() - 6, 6, tag);
}

std::string withLength(std::string file, uint32_t length)
{
    return file.replace(file.size() - 10, 4, littleEndian(length));
}

const std::string good = selfContained(encrypted(goodDocument));

const TrailerCase trailerCases[] = {
    {"NoTrailer", programBytes + encrypted(goodDocument), 8, "tag QVX2.6 not found in file!"},
    {"TagInLowerCase", withTag(good, "qvx2.6"), 8, "tag QVX2.6 not found in file!"},
    {"TagFirstByte", withTag(good, "RVX2.6"), 8, "tag QVX2.6 not found in file!"},
    {"TagSecondByte", withTag(good, "QWX2.6"), 8, "tag QVX2.6 not found in file!"},
    {"TagThirdByte", withTag(good, "QVY2.6"), 8, "tag QVX2.6 not found in file!"},
    {"TagFourthByte", withTag(good, "QVX3.6"), 8, "tag QVX2.6 not found in file!"},
    {"TagFifthByte", withTag(good, "QVX2,6"), 8, "tag QVX2.6 not found in file!"},
    {"TagSixthByte", withTag(good, "QVX2.7"), 8, "tag QVX2.6 not found in file!"},
    {"OlderTagVersion", withTag(good, "QVX2.5"), 8, "tag QVX2.6 not found in file!"},
    {"LengthOneMoreThanTheFileHolds", withLength(good, static_cast<uint32_t>(good.size() - 10 + 1)), 8,
     "Error reading config from self: "},
    {"LengthFarBeyondTheFile", withLength(good, 0x7FFFFFF0u), 8, "Error reading config from self: "},
    {"LargestLength", withLength(good, 0x7FFFFFFFu), 8, "Error reading config from self: "},
    {"LengthTwoToThe31", withLength(good, 0x80000000u), 8, "Error reading config from self: "},
    {"LengthAllOnes", withLength(good, 0xFFFFFFFFu), 8, "Error reading config from self: "},
    {"LengthMinusTen", withLength(good, 0xFFFFFFF6u), 8, "Error reading config from self: "},
    {"FileOfFiveBytes", "QVX2.", 8, "Error reading config from self: "},
    {"EmptyFile", "", 8, "Error reading config from self: "},
    {"TagAlone", "QVX2.6", 8, "Error reading config from self: "},
    {"TagWithLengthAndNoPayload", littleEndian(0) + "QVX2.6", 9, "Decryption error!"},
    {"CorruptedPayload", selfContained(std::string(24, '\x5A')), 9, "Decryption error!"},
    {"PayloadNotWholeBlocks", selfContained(encrypted(goodDocument).substr(3)), 9, "Decryption error!"},
    {"PayloadWithoutAWholeString", selfContained(encryptedNonString()), 9, "Decryption error!"},
    {"PayloadWithAnEmptyList", selfContained(encrypted(emptyListDocument)), 3, ""},
    {"Good", good, 0, ""},
    {"GoodWithoutProgramBytes", encrypted(goodDocument) + littleEndian(static_cast<uint32_t>(encrypted(goodDocument).size())) +
                                    "QVX2.6",
     0, ""},
};

INSTANTIATE_TEST_SUITE_P(Files, TrailerTest, ::testing::ValuesIn(trailerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SelfContainedTest, GoodTrailerFillsTheRecordWithTheDataFolderOfNoPackage)
{
    TempFile file;
    ASSERT_TRUE(WriteBytes(file.Path(), good));
    CQuorvelConf config;
    ASSERT_EQ(config.ReadConfigurationFileSelf(file.Path()), 0);
    EXPECT_EQ(config.packagePath, "");
    EXPECT_EQ(config.dataFolder, "\\data");
    EXPECT_EQ(config.timeOut, 7000);
    ASSERT_EQ(config.urlList.size(), 2u);
    EXPECT_EQ(config.urlList[1], "https://b.example/");
}

TEST(SelfContainedTest, PackagePathIsLeftAsItWas)
{
    TempFile file;
    ASSERT_TRUE(WriteBytes(file.Path(), good));
    CQuorvelConf config;
    config.packagePath = "C:\\earlier\\show.qvx";
    ASSERT_EQ(config.ReadConfigurationFileSelf(file.Path()), 0);
    EXPECT_EQ(config.packagePath, "C:\\earlier\\show.qvx");
}

TEST(SelfContainedTest, FileOpenForWritingElsewhereIsStillRead)
{
    TempFile file;
    ASSERT_TRUE(WriteBytes(file.Path(), good));
    HANDLE writer = CreateFileA(file.Path(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    CQuorvelConf config;
    EXPECT_EQ(config.ReadConfigurationFileSelf(file.Path()), 0);
    CloseHandle(writer);
}

TEST(SelfContainedTest, MissingFileCannotBeOpened)
{
    TempFile file;
    DeleteFileA(file.Path());
    LogCapture log;
    CQuorvelConf config;
    EXPECT_EQ(config.ReadConfigurationFileSelf(file.Path()), 7);
    const auto records = log.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1], "QuorvelConf.cpp\tReadConfigurationFileSelf\tUnable to open file!");
}

TEST(SelfContainedTest, EmptyNameReadsTheProgramsOwnFile)
{
    char ownPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    LogCapture log;
    CQuorvelConf config;
    // The test program carries no trailer.
    EXPECT_EQ(config.ReadConfigurationFileSelf(""), 8);
    const auto records = log.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], std::string("QuorvelConf.cpp\tReadConfigurationFileSelf\tconfPath from modulename = ") + ownPath);
    EXPECT_EQ(records[2], "QuorvelConf.cpp\tReadConfigurationFileSelf\ttag QVX2.6 not found in file!");
}

class PackageFileTest : public ::testing::Test {
protected:
    TempFile file;
    CQuorvelConf config;
};

TEST_F(PackageFileTest, GoodPackageFillsTheRecord)
{
    ASSERT_TRUE(WriteBytes(file.Path(), encrypted(goodDocument)));
    EXPECT_EQ(config.ReadConfigurationFile(file.Path()), 0);
    EXPECT_EQ(config.packagePath, file.Path());
    const std::string path = file.Path();
    EXPECT_EQ(config.dataFolder, (path.substr(0, path.rfind('\\')) + "\\data").c_str());
    EXPECT_EQ(config.urlList.size(), 2u);
}

TEST_F(PackageFileTest, EmptyListGivesThree)
{
    ASSERT_TRUE(WriteBytes(file.Path(), encrypted(emptyListDocument)));
    EXPECT_EQ(config.ReadConfigurationFile(file.Path()), 3);
}

TEST_F(PackageFileTest, MissingFileGivesTwoAndStillNamesThePackage)
{
    DeleteFileA(file.Path());
    LogCapture log;
    EXPECT_EQ(config.ReadConfigurationFile(file.Path()), 2);
    EXPECT_EQ(config.packagePath, file.Path());
    // A record without source, only the time stamp and the message.
    EXPECT_TRUE(log.has(std::string("Error GetDecryptedFile: ") + file.Path()));
}

TEST_F(PackageFileTest, UndecryptableFileGivesTwo)
{
    ASSERT_TRUE(WriteBytes(file.Path(), std::string(40, '\x33')));
    EXPECT_EQ(config.ReadConfigurationFile(file.Path()), 2);
    EXPECT_TRUE(config.urlList.empty());
}

// Every configuration document is read whole into memory; one too large for it must read
// as no configuration (the loader then tries the next source and at last shows the error
// box), never end the program. Each case is run once for each allocation it makes, with
// that one refused.
const std::string fullDocument =
    "<?xml version=\"1.0\"?>\n<qvx><mode value=\"3\"/><SelectedFolder path=\"D:\\m\"/>"
    "<exitCondition><c value=\"keyboard_button\"/><c value=\"mouse_move\"/></exitCondition>"
    "<MultiMonitorMode value=\"main_only\"/><urlList><u adr=\"https://a.example/\"/><u adr=\"https://b.&amp;/\"/>"
    "<u adr=\"https://c.example/\"/></urlList><random value=\"1\"/><timeOut value=\"7000\"/>"
    "<footer href=\"https://f.example/\" title=\"F\"/><author value=\"A\"/></qvx>\n";

struct MemoryCase {
    const char* name;
    // The read of the file (or of the document itself); both texts are made before the
    // allocations count, so only the read's own are refused.
    std::function<int(CQuorvelConf&, CString&& path, CString&& document)> read;
    std::string file;
    int failure;  // the result of a refused allocation; -1: any failure code of the source
};

class OutOfMemoryTest : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(OutOfMemoryTest, ARefusedAllocationReadsAsNoConfiguration)
{
    const MemoryCase& c = GetParam();
    TempFile file;
    ASSERT_TRUE(WriteBytes(file.Path(), c.file));
    long refusals = 0;
    for (long allocation = 0;; ++allocation) {
        CQuorvelConf config;
        CString path = file.Path();
        CString document = fullDocument.c_str();
        int result = CONFIG_OK;
        bool escaped = false;
        bool refused = false;
        {
            const AllocationFailure failure(allocation);
            try {
                result = c.read(config, std::move(path), std::move(document));
            } catch (...) {
                escaped = true;
            }
            refused = failure.refused();
        }
        ASSERT_FALSE(escaped) << "at allocation " << allocation;
        if (!refused) {
            EXPECT_EQ(CONFIG_OK, result);
            EXPECT_EQ(3u, config.urlList.size());
            break;
        }
        ++refusals;
        if (c.failure >= 0)
            EXPECT_EQ(c.failure, result) << "at allocation " << allocation;
        else
            EXPECT_TRUE(result != CONFIG_OK && result != CONFIG_EMPTY_LIST) << result << " at allocation " << allocation;
        EXPECT_TRUE(config.urlList.empty()) << "at allocation " << allocation;
    }
    EXPECT_GT(refusals, 10);
}

const MemoryCase memoryCases[] = {
    {"Parse", [](CQuorvelConf& config, CString&&, CString&& document) {
         return config.ParseConfigurationFile(std::move(document));
     },
     "", CONFIG_NOT_READABLE},
    {"PackageFile", [](CQuorvelConf& config, CString&& path, CString&&) {
         return config.ReadConfigurationFile(std::move(path));
     },
     encrypted(fullDocument), CONFIG_NOT_READABLE},
    {"OwnTrailer", [](CQuorvelConf& config, CString&& path, CString&&) {
         return config.ReadConfigurationFileSelf(std::move(path));
     },
     selfContained(encrypted(fullDocument)), -1},
};

INSTANTIATE_TEST_SUITE_P(Readers, OutOfMemoryTest, ::testing::ValuesIn(memoryCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The key of the test program's own base name under HKLM, removed before and after. The
// tests run in parallel processes and share the key, so they take turns.
class RegistryPathTest : public ::testing::Test {
protected:
    static constexpr const char* key = "SOFTWARE\\Quorvels\\test_qvedge\\Settings";
    static constexpr const char* keyLog = "QuorvelConf.cpp\tgetConfigFileFromRegistry\tDidn't find: "
                                          "SOFTWARE\\Quorvels\\test_qvedge\\Settings";

    void SetUp() override
    {
        ASSERT_TRUE(keyTurn.taken);
        removeKey();
    }

    void TearDown() override { removeKey(); }

    static void removeKey()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvels\\test_qvedge");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvels");
    }

    static void createKey(HKEY root = HKEY_LOCAL_MACHINE)
    {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(created);
    }

    static void setData(DWORD type, const std::string& bytes)
    {
        createKey();
        ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Data", type, bytes.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }

    static std::string withNul(const std::string& text) { return text + '\0'; }

    RegistryKeyTurn keyTurn;
    CString path = "unchanged";
};

TEST_F(RegistryPathTest, NamedPackageIsFound)
{
    setData(REG_SZ, withNul("C:\\packages\\show.qvx"));
    LogCapture log;
    ASSERT_TRUE(getConfigFileFromRegistry(path));
    EXPECT_EQ(path, "C:\\packages\\show.qvx");
    EXPECT_TRUE(log.has("QuorvelConf.cpp\tgetConfigFileFromRegistry\tGot path: C:\\packages\\show.qvx from "
                        "SOFTWARE\\Quorvels\\test_qvedge\\Settings"));
}

TEST_F(RegistryPathTest, MissingKey)
{
    LogCapture log;
    EXPECT_FALSE(getConfigFileFromRegistry(path));
    EXPECT_EQ(path, "unchanged");
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0], keyLog);
}

TEST_F(RegistryPathTest, KeyWithoutValue)
{
    createKey();
    LogCapture log;
    EXPECT_FALSE(getConfigFileFromRegistry(path));
    EXPECT_EQ(path, "unchanged");
    const auto records = log.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], std::string(keyLog) + " value Data");
    EXPECT_EQ(records[1], keyLog);
}

// The handle table gives a closed slot to the next handle opened: a key the look-up left
// open would keep the slot, and the probe opened after it would get another.
HKEY probeKey()
{
    HKEY probe = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_QUERY_VALUE, &probe);
    RegCloseKey(probe);
    return probe;
}

TEST_F(RegistryPathTest, TheKeyIsClosedWhetherOrNotItNamesAPackage)
{
    createKey();
    const HKEY freeSlot = probeKey();
    EXPECT_FALSE(getConfigFileFromRegistry(path));
    EXPECT_EQ(freeSlot, probeKey());
    setData(REG_SZ, withNul("C:\\packages\\show.qvx"));
    EXPECT_TRUE(getConfigFileFromRegistry(path));
    EXPECT_EQ(freeSlot, probeKey());
}

TEST_F(RegistryPathTest, OnlyTheMachineKeyCounts)
{
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(created, "Data", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\user.qvx"), 12);
    RegCloseKey(created);
    EXPECT_FALSE(getConfigFileFromRegistry(path));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvels\\test_qvedge");
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Quorvels");
}

struct RegistryValueCase {
    const char* name;
    DWORD type;
    std::string bytes;
    bool found;
    std::string path;
};

class RegistryValueTest : public RegistryPathTest, public ::testing::WithParamInterface<RegistryValueCase> {};

TEST_P(RegistryValueTest, ValueBecomesThePathUpToItsFirstNul)
{
    setData(GetParam().type, GetParam().bytes);
    EXPECT_EQ(getConfigFileFromRegistry(path), GetParam().found);
    EXPECT_EQ(path, GetParam().found ? GetParam().path.c_str() : "unchanged");
}

// "C:\\" + longName + ".q" is 259 characters.
const std::string longName(254, 'p');

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryValueTest,
    ::testing::Values(
        RegistryValueCase{"ExpandableTakenLiterally", REG_EXPAND_SZ, std::string("%TEMP%\\show.qvx") + '\0', true,
                          "%TEMP%\\show.qvx"},
        RegistryValueCase{"TwoHundredFiftyNineCharacters", REG_SZ, "C:\\" + longName + ".q" + '\0', true,
                          "C:\\" + longName + ".q"},
        RegistryValueCase{"TwoHundredSixtyCharacters", REG_SZ, "C:\\" + longName + ".qv" + '\0', false, ""},
        RegistryValueCase{"FarTooLong", REG_SZ, std::string(1000, 'x') + '\0', false, ""},
        RegistryValueCase{"BinaryUpToItsNul", REG_BINARY, std::string("C:\\b.qvx\0junk", 13), true, "C:\\b.qvx"},
        RegistryValueCase{"BufferFilledWithoutNul", REG_BINARY, "C:\\" + longName + ".qv", false, ""},
        RegistryValueCase{"NumberTakenAsItsBytes", REG_DWORD, std::string("\x41\x42\x43\x44", 4), true, "ABCD"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
