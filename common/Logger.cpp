#include "common/Logger.h"

#include <iostream>

namespace logging {

namespace {

std::time_t systemTime()
{
    return std::time(nullptr);
}

std::tm localTime(std::time_t t)
{
    std::tm local{};
    localtime_s(&local, &t);
    return local;
}

// The run-time's strftime knows neither %F nor %T; this is the same text.
constexpr const char* TIME_STAMP_FORMAT = "%Y-%m-%d %H:%M:%S";

template <class Value>
Console_Logger& insert(Console_Logger& logger, const Value& value)
{
    if (logger.flags == FLAGS_OFF)
        return logger;
    std::ostream* s = &logger.stream();
    Console_Logger* walker = &logger;
    do {
        if (logger.flags & FLAG_TAB_ITEMS)
            *s << '\t';
        *s << value;
        walker = &walker->nextStream(s);
    } while (s);
    logger.flags &= ~FLAG_RECORD_BEGUN;
    return logger;
}

} // namespace

Clock timeNow = systemTime;
std::uint8_t currentDay = 0;

Null_Buff nullBuff;
std::ostream nullStream(&nullBuff);

Console_Logger::Console_Logger(int flags)
    : flags(flags), console(&std::clog)
{
}

Console_Logger& Console_Logger::flush()
{
    stream().flush();
    flags &= ~FLAGS_CLEARED_BY_FLUSH;
    return *this;
}

bool Console_Logger::open()
{
    return false;
}

std::ostream& Console_Logger::stream()
{
    return flags == FLAGS_OFF ? nullStream : *console;
}

Console_Logger& Console_Logger::nextStream(std::ostream*& s)
{
    s = s == console ? nullptr : console;
    return *this;
}

Console_Logger& Console_Logger::logTime()
{
    stampTime();
    return *this;
}

void Console_Logger::stampTime()
{
    const std::tm local = localTime(timeNow());
    currentDay = static_cast<std::uint8_t>(local.tm_mday);
    *this << std::put_time(&local, TIME_STAMP_FORMAT) << "\t";
    flags |= FLAG_RECORD_BEGUN;
}

LogFileName::LogFileName(const std::filesystem::path& basePath)
    : name(basePath.filename().string()), path(basePath)
{
    if (!path.has_extension())
        path += ".log";
}

std::string LogFileName::filePath()
{
    if (currentDay == 0)
        currentDay = static_cast<std::uint8_t>(localTime(timeNow()).tm_mday);
    day = currentDay;
    std::filesystem::path extension = path.extension();
    path = path.parent_path() / ("Screen saver " + name);
    path += extension;
    return path.string();
}

template <class MixIn>
File_Logger<MixIn>::File_Logger(const std::filesystem::path& basePath, int flags)
    : MixIn(flags), logFileName(basePath), chained(this)
{
    this->console->flush();
    std::ostream& announce = this->flags == FLAGS_OFF ? nullStream : *this->console;
    announce << "\nFile_Logger: " << logFileName.name << std::endl;
}

template <class MixIn>
Console_Logger& File_Logger<MixIn>::flush()
{
    if (chained != this)
        chained->flush();
    stream().flush();
    this->flags &= ~FLAGS_CLEARED_BY_FLUSH;
    file.flush();
    return *this;
}

template <class MixIn>
bool File_Logger<MixIn>::open()
{
    if (logFileName.day != currentDay)
        file.close();
    if (!file.is_open()) {
        // Opened through the wide path; the run-time shares the file for reading and
        // writing by others.
        logFileName.filePath();
        file.open(logFileName.path, std::ios::out | std::ios::app);
    }
    return file.good();
}

template <class MixIn>
std::ostream& File_Logger<MixIn>::stream()
{
    if (!(this->flags & FLAG_FILE_DISABLED) && open())
        return file;
    return *this->console;
}

template <class MixIn>
Console_Logger& File_Logger<MixIn>::nextStream(std::ostream*& s)
{
    if (chained == this)
        return MixIn::nextStream(s);
    s = &chained->stream();
    return *chained;
}

template <class MixIn>
Console_Logger& File_Logger<MixIn>::logTime()
{
    std::ostream* s = &stream();
    Console_Logger* walker = &nextStream(s);
    while (s) {
        *s << logFileName.name << " ";
        walker = &walker->nextStream(s);
    }
    this->stampTime();
    return *this;
}

template class File_Logger<Console_Logger>;

Console_Logger& getFileLogger()
{
    static File_Logger<Console_Logger> logger{std::filesystem::path(logFilePath)};
    return logger;
}

Console_Logger& operator<<(Console_Logger& logger, const char* text) { return insert(logger, text); }
Console_Logger& operator<<(Console_Logger& logger, char* text) { return insert(logger, text); }
Console_Logger& operator<<(Console_Logger& logger, std::string text) { return insert(logger, text); }
Console_Logger& operator<<(Console_Logger& logger, CString text) { return insert(logger, text.GetString()); }
Console_Logger& operator<<(Console_Logger& logger, int value) { return insert(logger, value); }
Console_Logger& operator<<(Console_Logger& logger, unsigned value) { return insert(logger, value); }
Console_Logger& operator<<(Console_Logger& logger, long value) { return insert(logger, value); }
Console_Logger& operator<<(Console_Logger& logger, const PutTime& time) { return insert(logger, time); }

const char* sourceFileName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

std::string recordPrefix(const char* path, int line, const char* function)
{
    return std::string(sourceFileName(path)) + "\t" + std::to_string(line) + "\t" + function + "\t";
}

Console_Logger& beginRecord(Console_Logger& logger)
{
    if (logger.flags != FLAGS_OFF)
        logger.logTime();
    return logger;
}

void endRecord(Console_Logger& logger)
{
    if (logger.flags == FLAGS_OFF)
        return;
    logger.flags &= FLAG_KEPT;
    logger << "\n";
    logger.flush();
}

} // namespace logging
