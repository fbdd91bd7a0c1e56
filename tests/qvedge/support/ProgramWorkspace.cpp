#include "tests/qvedge/support/ProgramWorkspace.h"

#include <fstream>

namespace {

// The package writer of tools/qvpack, run as its own process; its exit code.
DWORD runQvPack(const std::string& arguments)
{
    Program qvpack(arguments, windowsPath(QVPACK_EXE));
    if (!qvpack.started || !qvpack.waitForEnd(PROGRAM_TIME_LIMIT_MS))
        return 99;
    return qvpack.exitCode();
}

} // namespace

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string configDocument(const std::string& author, bool withAddresses)
{
    return "<qvx>\r\n<mode value=\"0\"/>\r\n<urlList>" +
           std::string(withAddresses ? "<u adr=\"https://example.com/\"/>" : "") + "</urlList>\r\n<author value=\"" +
           author + "\"/>\r\n</qvx>\r\n";
}

ProgramWorkspace::ProgramWorkspace()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "qvprogram-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
}

ProgramWorkspace::~ProgramWorkspace()
{
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

std::string ProgramWorkspace::path(const std::string& name)
{
    files.push_back(folder + "\\" + name);
    return files.back();
}

std::string ProgramWorkspace::document(const std::string& name, const std::string& text)
{
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string ProgramWorkspace::package(const std::string& name, const std::string& documentText)
{
    const std::string xml = document(name + ".xml", documentText);
    const std::string file = path(name);
    return runQvPack("pack " + quoted(xml) + " " + quoted(file)) == 0 ? file : std::string();
}

std::string ProgramWorkspace::selfContained(const std::string& name, const std::string& documentText)
{
    const std::string xml = document(name + ".xml", documentText);
    const std::string file = path(name);
    return runQvPack("append " + quoted(programPath()) + " " + quoted(xml) + " " + quoted(file)) == 0 ? file
                                                                                                       : std::string();
}

std::string ProgramWorkspace::plainCopy(const std::string& name)
{
    const std::string file = path(name);
    return CopyFileA(programPath().c_str(), file.c_str(), FALSE) ? file : std::string();
}

CleanRun::CleanRun(const std::string& arguments, const std::string& path)
    : names(featureNamesOf(path)), program(arguments, path)
{
}

CleanRun::~CleanRun()
{
    removeFeatureValues(names);
}
