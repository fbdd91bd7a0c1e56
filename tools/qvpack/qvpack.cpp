// qvpack: writes encrypted configuration packages for tests and samples; not part of the
// screensaver. It encrypts exactly as the authoring side does, through MFC::CCrypto with
// the configuration pass phrase.
#include "common/Crypto.h"
#include "common/PackageFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
const char usage[] =
    "Usage:\n"
    "  qvpack pack <config.xml> <package.dat>\n"
    "      Writes the package file: the configuration text as one archived string,\n"
    "      encrypted; the whole file is ciphertext.\n"
    "  qvpack append <program.exe> <config.xml> <output.scr>\n"
    "      Writes a self-contained screensaver: a copy of the program, then the same\n"
    "      encrypted configuration, its length (4 bytes, little-endian) and the tag QVX2.6.\n"
    "  qvpack --help\n"
    "Exit code 0 on success, 1 when a file cannot be read, written or encrypted, 2 on\n"
    "wrong usage.\n";

bool ReadWholeFile(const char* path, std::string& contents)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    char chunk[4096];
    size_t read;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        contents.append(chunk, read);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool WriteWholeFile(const char* path, const std::string& contents)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    return std::fclose(file) == 0 && ok;
}

bool Encrypt(const std::string& text, std::string& ciphertext)
{
    MFC::CCrypto crypto;
    CByteArray bytes;
    if (!crypto.DeriveKey(configPassPhrase) || !crypto.EncryptString(CString(text), bytes))
        return false;
    ciphertext.assign(reinterpret_cast<const char*>(bytes.GetData()), bytes.GetSize());
    return true;
}

std::string Trailer(const std::string& payload)
{
    std::string trailer = payload;
    uint32_t length = static_cast<uint32_t>(payload.size());
    for (int i = 0; i < payloadLengthSize; ++i)
        trailer += static_cast<char>(length >> (8 * i) & 0xFF);
    return trailer.append(selfContainedTag, selfContainedTagLength);
}

int Fail(const char* what, const char* path)
{
    std::fprintf(stderr, "qvpack: %s %s\n", what, path);
    return 1;
}

int Pack(const char* xmlPath, const char* packagePath)
{
    std::string xml, ciphertext;
    if (!ReadWholeFile(xmlPath, xml))
        return Fail("cannot read", xmlPath);
    if (!Encrypt(xml, ciphertext))
        return Fail("cannot encrypt", xmlPath);
    if (!WriteWholeFile(packagePath, ciphertext))
        return Fail("cannot write", packagePath);
    return 0;
}

int Append(const char* programPath, const char* xmlPath, const char* outputPath)
{
    std::string program, xml, ciphertext;
    if (!ReadWholeFile(programPath, program))
        return Fail("cannot read", programPath);
    if (!ReadWholeFile(xmlPath, xml))
        return Fail("cannot read", xmlPath);
    if (!Encrypt(xml, ciphertext))
        return Fail("cannot encrypt", xmlPath);
    if (!WriteWholeFile(outputPath, program + Trailer(ciphertext)))
        return Fail("cannot write", outputPath);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc == 4 && !std::strcmp(argv[1], "pack"))
        return Pack(argv[2], argv[3]);
    if (argc == 5 && !std::strcmp(argv[1], "append"))
        return Append(argv[2], argv[3], argv[4]);
    std::fputs(usage, stderr);
    return 2;
}
