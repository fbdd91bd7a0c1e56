#pragma once
// Switches the program's logger on for one test and collects its records. The log file is
// placed in a folder that does not exist, so records go to the console stream alone, which
// is redirected here.
#include "common/Logger.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// A log base path in a folder that does not exist.
constexpr const char* UNOPENABLE_LOG_PATH = "C:\\no-such-folder-for-quorvel-logs\\test";

class LogCapture {
public:
    LogCapture()
    {
        logFilePath = UNOPENABLE_LOG_PATH;
        saved = std::clog.rdbuf(console.rdbuf());
        logging::getFileLogger().flags = 0;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    ~LogCapture()
    {
        logging::getFileLogger().flags = logging::FLAGS_OFF;
        std::clog.rdbuf(saved);
    }

    // The records without their time stamp and line number: "file\tfunction\tmessage",
    // or the message alone for a record that names no source.
    std::vector<std::string> records() const
    {
        std::vector<std::string> result;
        std::istringstream lines(console.str());
        std::string line;
        while (std::getline(lines, line)) {
            const auto afterTime = line.find('\t');
            std::string rest = afterTime == std::string::npos ? line : line.substr(afterTime + 1);
            result.push_back(stripLocation(rest));
        }
        return result;
    }

    bool has(const std::string& record) const
    {
        for (const std::string& r : records()) {
            if (r == record)
                return true;
        }
        return false;
    }

private:
    // "file\tline\tfunction\tmessage" becomes "file\tfunction\tmessage"; a bare message stays.
    static std::string stripLocation(const std::string& rest)
    {
        const auto fileEnd = rest.find('\t');
        const auto lineEnd = fileEnd == std::string::npos ? fileEnd : rest.find('\t', fileEnd + 1);
        if (lineEnd == std::string::npos || lineEnd == fileEnd + 1 ||
            rest.find_first_not_of("0123456789", fileEnd + 1) != lineEnd)
            return rest;
        return rest.substr(0, fileEnd + 1) + rest.substr(lineEnd + 1);
    }

    std::ostringstream console;
    std::streambuf* saved = nullptr;
};
