#pragma once
// Program copies, package files and configuration documents in a folder of the test's own,
// for runs of the real qvedge.scr; and a run that removes the feature-control values the
// program writes for its names.
#include "framework/Win.h"
#include "tests/qvedge/support/FeatureValues.h"
#include "tests/qvedge/support/ProgramRun.h"

#include <string>
#include <vector>

constexpr DWORD PROGRAM_TIME_LIMIT_MS = 30000;

std::string quoted(const std::string& path);
// A configuration document with one address (or none) and the author.
std::string configDocument(const std::string& author, bool withAddresses);

// Everything made in the folder is removed with it. Each made file's path is returned;
// empty when making it failed.
class ProgramWorkspace {
public:
    ProgramWorkspace();
    ~ProgramWorkspace();
    ProgramWorkspace(const ProgramWorkspace&) = delete;
    ProgramWorkspace& operator=(const ProgramWorkspace&) = delete;

    std::string path(const std::string& name);
    std::string document(const std::string& name, const std::string& text);
    // A package file: the document encrypted as a whole.
    std::string package(const std::string& name, const std::string& documentText);
    // A copy of qvedge.scr that carries the encrypted document in its trailer.
    std::string selfContained(const std::string& name, const std::string& documentText);
    std::string plainCopy(const std::string& name);

    std::string folder;

private:
    std::vector<std::string> files;
};

// Runs the program, then removes the feature-control values it wrote for its names.
class CleanRun {
public:
    explicit CleanRun(const std::string& arguments, const std::string& path = programPath());
    ~CleanRun();
    CleanRun(const CleanRun&) = delete;
    CleanRun& operator=(const CleanRun&) = delete;

    FeatureControlNames names;
    Program program;
};
