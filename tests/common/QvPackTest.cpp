// The package writer of tools/qvpack, run as its own Wine process.
#include "common/Crypto.h"
#include "common/PackageFormat.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {
DWORD RunQvPack(const std::string& arguments)
{
    std::string command = std::string("\"") + QVPACK_EXE + "\" " + arguments;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::string Quoted(const char* path)
{
    return std::string("\"") + path + "\"";
}

class QvPackTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteBytes(xml.Path(), config)); }

    const std::string config = "<qvx>\r\n<urlList><u adr=\"https://example.com/\"/></urlList>\r\n</qvx>\r\n";
    TempFile xml;
    TempFile output;
};
}  // namespace

TEST_F(QvPackTest, PackWritesAPackageFileThatDecrypts)
{
    ASSERT_EQ(0u, RunQvPack("pack " + Quoted(xml.Path()) + " " + Quoted(output.Path())));
    CString text;
    ASSERT_TRUE(GetDecryptedFile(output.Path(), text));
    EXPECT_EQ(config, text.str());
}

TEST_F(QvPackTest, AppendWritesProgramPayloadLengthAndTag)
{
    const std::string program = std::string("MZ\0\0program bytes", 17);
    TempFile programFile;
    ASSERT_TRUE(WriteBytes(programFile.Path(), program));
    ASSERT_EQ(0u, RunQvPack("append " + Quoted(programFile.Path()) + " " + Quoted(xml.Path()) + " " +
                            Quoted(output.Path())));

    std::string written = ReadBytes(output.Path());
    const size_t trailerSize = payloadLengthSize + selfContainedTagLength;
    ASSERT_GT(written.size(), program.size() + trailerSize);
    EXPECT_EQ(program, written.substr(0, program.size()));
    EXPECT_EQ("QVX2.6", written.substr(written.size() - selfContainedTagLength));

    const unsigned char* length = reinterpret_cast<const unsigned char*>(&written[written.size() - trailerSize]);
    uint32_t payloadSize = length[0] | length[1] << 8 | length[2] << 16 | uint32_t(length[3]) << 24;
    ASSERT_EQ(written.size() - program.size() - trailerSize, payloadSize);

    std::string payload = written.substr(program.size(), payloadSize);
    CByteArray ciphertext;
    ciphertext.SetSize(static_cast<int>(payload.size()));
    std::copy(payload.begin(), payload.end(), ciphertext.GetData());
    MFC::CCrypto crypto;
    CString text;
    ASSERT_TRUE(crypto.DeriveKey(configPassPhrase));
    ASSERT_TRUE(crypto.DecryptString(ciphertext, text));
    EXPECT_EQ(config, text.str());
}

TEST_F(QvPackTest, UnreadableInputFailsWithoutOutput)
{
    // A name beside our own unique temporary file, so no parallel test can be given it.
    const std::string target = std::string(output.Path()) + ".out";
    EXPECT_EQ(1u, RunQvPack("pack " + Quoted(xml.Path()) + ".missing " + Quoted(target.c_str())));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
}

TEST_F(QvPackTest, WrongUsageAndHelp)
{
    EXPECT_EQ(2u, RunQvPack(""));
    EXPECT_EQ(2u, RunQvPack("pack onlyone"));
    EXPECT_EQ(2u, RunQvPack("unpack a b"));
    EXPECT_EQ(0u, RunQvPack("--help"));
}
