#pragma once
// The program's one diagnostic channel: a chain of stream loggers (the log file, then
// std::clog) that the program builds switched off (flags 6), so nothing is written.
#include "framework/CString.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <streambuf>
#include <string>

// Base path of the log file (Documents folder and program base name); set by the
// start-up before the first log statement.
extern std::string logFilePath;

namespace logging {

// Flag values. Off is compared for equality, the others are bits.
constexpr int FLAGS_OFF = 6;
constexpr int FLAG_RECORD_BEGUN = 2;
constexpr int FLAG_FILE_DISABLED = 8;
constexpr int FLAG_TAB_ITEMS = 16;
constexpr int FLAG_KEPT = 32;
constexpr int FLAGS_CLEARED_BY_FLUSH = 1 | 4;

// The clock of the time stamps and of the day change; tests replace it.
using Clock = std::time_t (*)();
extern Clock timeNow;
// The day of month of the last time stamp (0 before the first).
extern std::uint8_t currentDay;

class Null_Buff : public std::streambuf {
protected:
    // Accepts and drops every character; never end-of-file, so the stream never fails.
    int_type overflow(int_type) override { return 0; }
};

extern Null_Buff nullBuff;
extern std::ostream nullStream;

class Logger {
public:
    virtual ~Logger() = default;
};

class Console_Logger : public Logger {
public:
    explicit Console_Logger(int flags = FLAGS_OFF);

    virtual Console_Logger& flush();
    virtual bool open();
    virtual std::ostream& stream();
    // Advances s to the chain's next stream (null at its end); returns the logger that
    // continues the walk.
    virtual Console_Logger& nextStream(std::ostream*& s);
    virtual Console_Logger& logTime();

    int flags;

protected:
    void stampTime();

    std::ostream* console;
};

struct LogFileName {
    explicit LogFileName(const std::filesystem::path& basePath);

    // The full log file path; also records the current day as the day of opening.
    std::string filePath();

    std::string name;
    std::filesystem::path path;
    std::uint8_t day = 0;
};

template <class MixIn>
class File_Logger : public MixIn {
public:
    explicit File_Logger(const std::filesystem::path& basePath, int flags = FLAGS_OFF);

    Console_Logger& flush() override;
    bool open() override;
    std::ostream& stream() override;
    Console_Logger& nextStream(std::ostream*& s) override;
    Console_Logger& logTime() override;

    const LogFileName& fileName() const { return logFileName; }

private:
    LogFileName logFileName;
    Console_Logger* chained;
    std::ofstream file;
};

extern template class File_Logger<Console_Logger>;

// The one logger of the program, built from logFilePath on first use.
Console_Logger& getFileLogger();

using PutTime = decltype(std::put_time(static_cast<const std::tm*>(nullptr), ""));

Console_Logger& operator<<(Console_Logger& logger, const char* text);
Console_Logger& operator<<(Console_Logger& logger, char* text);
Console_Logger& operator<<(Console_Logger& logger, std::string text);
Console_Logger& operator<<(Console_Logger& logger, CString text);
Console_Logger& operator<<(Console_Logger& logger, int value);
Console_Logger& operator<<(Console_Logger& logger, unsigned value);
Console_Logger& operator<<(Console_Logger& logger, long value);
Console_Logger& operator<<(Console_Logger& logger, const PutTime& time);

// A source path's file name: after its last backslash or slash (the compiler writes
// either), the whole path when it has neither.
const char* sourceFileName(const char* path);

// The location part of a record: file, line and function, each followed by a tab.
std::string recordPrefix(const char* path, int line, const char* function);

// The log statement's first and last steps: the time stamp and the end of the record,
// both skipped while the logger is off.
Console_Logger& beginRecord(Console_Logger& logger);
void endRecord(Console_Logger& logger);

} // namespace logging

// One log record: QVLOG("Set monitor mode " << mode). Callbacks name themselves with
// QVLOG_AS("label", ...); QVLOG_TO writes to a logger other than the program's.
#define QVLOG_TO(logger, function, items)                                                      \
    do {                                                                                       \
        ::logging::Console_Logger& qvLogger = ::logging::beginRecord(logger);                  \
        qvLogger << ::logging::recordPrefix(__FILE__, __LINE__, function) << items;            \
        ::logging::endRecord(qvLogger);                                                        \
    } while (0)
#define QVLOG_AS(function, items) QVLOG_TO(::logging::getFileLogger(), function, items)
#define QVLOG(items) QVLOG_AS(__func__, items)
