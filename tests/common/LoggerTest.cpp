#include "common/Logger.h"
#include "framework/Win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

// The start-up defines it in the program.
std::string logFilePath;

namespace fs = std::filesystem;

namespace {

std::time_t fakeNow = 0;

std::time_t localTimeOf(int year, int month, int day, int hour, int minute, int second)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("qvlog-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        savedConsole = std::clog.rdbuf(console.rdbuf());
        fakeNow = localTimeOf(2026, 12, 9, 8, 49, 38);
        logging::timeNow = [] { return fakeNow; };
        logging::currentDay = 0;
    }

    void TearDown() override
    {
        std::clog.rdbuf(savedConsole);
        fs::remove_all(folder);
    }

    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
    std::ostringstream console;
    std::streambuf* savedConsole = nullptr;
};

TEST_F(LoggerTest, ProgramLoggerIsOffAndWritesNothing)
{
    logFilePath = (folder / "qvedge").string();
    QVLOG("qvEdge started " << 5 << std::string("x") << CString("y") << -1L);

    EXPECT_EQ(logging::getFileLogger().flags, logging::FLAGS_OFF);
    EXPECT_EQ(filesInFolder(), 0u);
    EXPECT_EQ(console.str(), "");
    // Off takes no time stamp.
    EXPECT_EQ(logging::currentDay, 0);
}

TEST_F(LoggerTest, RecordGoesToFileAndWithNameToConsole)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", 0);
    const int line = __LINE__ + 1;
    QVLOG_TO(logger, "InitInstance", "qvEdge started " << 7);

    const std::string record = "2026-12-09 08:49:38\tLoggerTest.cpp\t" + std::to_string(line) +
                               "\tInitInstance\tqvEdge started 7";
    // The file is written in text mode, so its line feeds become CR LF.
    EXPECT_EQ(readFile(folder / "Screen saver qvedge.log"), record + "\r\n");
    EXPECT_EQ(console.str(), "\nFile_Logger: qvedge\nqvedge " + record + "\n");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(LoggerTest, FunctionNameIsTheEnclosingFunction)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", 0);
    QVLOG_TO(logger, __func__, "x");
    EXPECT_NE(readFile(folder / "Screen saver qvedge.log").find("\tTestBody\tx\r\n"), std::string::npos);
}

TEST_F(LoggerTest, RecordsAppendToAnExistingFile)
{
    std::ofstream(folder / "Screen saver qvedge.log") << "earlier\n";
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", 0);
    QVLOG_TO(logger, "f", "later");
    const std::string text = readFile(folder / "Screen saver qvedge.log");
    EXPECT_EQ(text.rfind("earlier\r\n2026-12-09 08:49:38\t", 0), 0u) << text;
}

TEST_F(LoggerTest, TabFlagSeparatesItemsOfOneRecordAndOnlyBit32OutlivesItsEnd)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge",
                                                         logging::FLAG_TAB_ITEMS | logging::FLAG_KEPT);
    const int line = __LINE__ + 1;
    QVLOG_TO(logger, "f", "a" << 1);
    QVLOG_TO(logger, "f", "b" << 2);

    const std::string first = "\t2026-12-09 08:49:38\t\t\tLoggerTest.cpp\t" + std::to_string(line) + "\tf\t\ta\t1\r\n";
    const std::string second = "2026-12-09 08:49:38\tLoggerTest.cpp\t" + std::to_string(line + 1) + "\tf\tb2\r\n";
    EXPECT_EQ(readFile(folder / "Screen saver qvedge.log"), first + second);
    EXPECT_EQ(logger.flags, logging::FLAG_KEPT);
}

TEST_F(LoggerTest, DayChangeReopensTheSameFileAndKeepsEarlierRecords)
{
    fakeNow = localTimeOf(2026, 12, 9, 23, 59, 59);
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", 0);
    QVLOG_TO(logger, "f", "before midnight");
    EXPECT_EQ(logger.fileName().day, 9);

    fakeNow = localTimeOf(2026, 12, 10, 0, 0, 1);
    QVLOG_TO(logger, "f", "after midnight");

    EXPECT_EQ(logger.fileName().day, 10);
    const std::string text = readFile(folder / "Screen saver qvedge.log");
    EXPECT_NE(text.find("2026-12-09 23:59:59\tLoggerTest.cpp"), std::string::npos) << text;
    EXPECT_NE(text.find("before midnight\r\n2026-12-10 00:00:01\t"), std::string::npos) << text;
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(LoggerTest, UnopenableFileSendsRecordsToConsoleOnlyWithoutName)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "missing" / "qvedge", 0);
    QVLOG_TO(logger, "f", "one");
    QVLOG_TO(logger, "f", "two");

    EXPECT_FALSE(fs::exists(folder / "missing"));
    const std::string records = console.str().substr(std::string("\nFile_Logger: qvedge\n").size());
    EXPECT_EQ(records.rfind("2026-12-09 08:49:38\tLoggerTest.cpp\t", 0), 0u) << records;
    EXPECT_EQ(records.find("qvedge "), std::string::npos);
    EXPECT_NE(records.find("\tf\tone\n2026-12-09 08:49:38\t"), std::string::npos) << records;
}

TEST_F(LoggerTest, DisabledFileWritesToConsoleOnly)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", logging::FLAG_FILE_DISABLED);
    QVLOG_TO(logger, "f", "one");
    EXPECT_NE(console.str().find("\n2026-12-09 08:49:38\tLoggerTest.cpp\t"), std::string::npos);
    EXPECT_NE(console.str().find("\tf\tone"), std::string::npos);
    // Only the record's items are kept from the file: its end clears every bit but 32.
    EXPECT_EQ(readFile(folder / "Screen saver qvedge.log").find("one"), std::string::npos);
}

TEST_F(LoggerTest, InsertsEveryValueKind)
{
    logging::File_Logger<logging::Console_Logger> logger(folder / "qvedge", logging::FLAG_FILE_DISABLED);
    char mutableText[] = "m";
    const long status = static_cast<long>(0x80004005);
    logger << "c" << mutableText << std::string("s\0t", 3) << CString("u\0v", 3) << -12 << 4294967295u << status;
    EXPECT_EQ(console.str(), "\nFile_Logger: qvedge\n" + std::string("cms\0tu", 6) + "-124294967295-2147467259");
}

TEST_F(LoggerTest, ConsoleLoggerStampsTimeWithoutName)
{
    logging::Console_Logger logger(0);
    QVLOG_TO(logger, "f", "x");
    EXPECT_EQ(console.str().rfind("2026-12-09 08:49:38\tLoggerTest.cpp\t", 0), 0u) << console.str();
    EXPECT_EQ(logging::currentDay, 9);
}

struct FileNameCase {
    const char* basePath;
    const char* name;
    const char* filePath;
};

class LogFileNameTest : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(LogFileNameTest, PrefixesScreenSaverAndKeepsOrAddsExtension)
{
    logging::currentDay = 17;
    logging::LogFileName fileName{fs::path(GetParam().basePath)};
    EXPECT_EQ(fileName.name, GetParam().name);
    EXPECT_EQ(fileName.day, 0);
    EXPECT_EQ(fileName.filePath(), GetParam().filePath);
    EXPECT_EQ(fileName.day, 17);
    // Asking again gives the same file.
    EXPECT_EQ(fileName.filePath(), GetParam().filePath);
}

INSTANTIATE_TEST_SUITE_P(Paths, LogFileNameTest,
                         ::testing::Values(FileNameCase{"C:/Docs/qvedge", "qvedge", "C:/Docs\\Screen saver qvedge.log"},
                                           FileNameCase{"C:/Docs/a.b", "a.b", "C:/Docs\\Screen saver a.b.b"},
                                           FileNameCase{"C:\\Temp\\/my saver", "my saver",
                                                        "C:\\Temp\\Screen saver my saver.log"}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(NullStreamTest, AcceptsEverythingWithoutFailing)
{
    for (int i = 0; i < 10000; ++i)
        logging::nullStream << "discarded text " << i;
    EXPECT_TRUE(logging::nullStream.good());
}

struct SourceCase {
    const char* path;
    const char* name;
};

class SourceFileNameTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(SourceFileNameTest, CutsAfterLastBackslashOrSlash)
{
    EXPECT_STREQ(logging::sourceFileName(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, SourceFileNameTest,
                         ::testing::Values(SourceCase{"C:\\src\\qvedge\\QuorvelDlg.cpp", "QuorvelDlg.cpp"},
                                           SourceCase{"/work/qvedge/QuorvelEdge.cpp", "QuorvelEdge.cpp"},
                                           SourceCase{"a\\b/c\\d.cpp", "d.cpp"},
                                           SourceCase{"Plain.cpp", "Plain.cpp"},
                                           SourceCase{"dir/", ""}),
                         [](const auto& info) { return std::to_string(info.index); });

} // namespace
