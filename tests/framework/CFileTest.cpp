#include "framework/CFile.h"

#include "framework/Win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
class CFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        char name[MAX_PATH] = {};
        GetTempFileNameA(folder, "qvf", 0, name);
        path = name;
        Write("0123456789TAIL");
    }
    void TearDown() override { DeleteFileA(path.c_str()); }

    void Write(const std::string& contents)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::string Read(CFile& file, unsigned count)
    {
        std::string text(count, '\0');
        text.resize(file.Read(&text[0], count));
        return text;
    }

    std::string path;
};
}  // namespace

TEST_F(CFileTest, MissingFileDoesNotOpen)
{
    CFile file;
    EXPECT_FALSE(file.Open((path + ".missing").c_str(), CFile::modeRead));
}

TEST_F(CFileTest, ReadsFromTheEndAndStopsThere)
{
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary));
    EXPECT_EQ(14u, file.GetLength());
    EXPECT_EQ(10u, file.Seek(-4, CFile::end));
    EXPECT_EQ("TAIL", Read(file, 4));
    EXPECT_EQ("", Read(file, 4));
    EXPECT_EQ(2u, file.Seek(2, CFile::begin));
    EXPECT_EQ(5u, file.Seek(3, CFile::current));
    EXPECT_EQ("56789TAIL", Read(file, 100));
}

TEST_F(CFileTest, SeekBeforeStartRaisesFileExceptionNamingTheFile)
{
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    try {
        file.Seek(-15, CFile::end);
        FAIL() << "no exception";
    } catch (const CException& error) {
        char text[256];
        ASSERT_TRUE(error.GetErrorMessage(text, sizeof text));
        EXPECT_NE(nullptr, std::strstr(text, path.c_str())) << text;
    }
    EXPECT_EQ(0u, file.Seek(0, CFile::current));
}

TEST_F(CFileTest, OperationsOnAClosedFileRaise)
{
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    file.Close();
    char byte;
    EXPECT_THROW(file.Read(&byte, 1), CFileException);
    EXPECT_THROW(file.GetLength(), CFileException);
    EXPECT_THROW(file.Seek(0, CFile::begin), CFileException);
}

// Without a share flag the file is opened exclusively; deny-none lets other readers in.
TEST_F(CFileTest, ShareFlagDecidesWhetherOthersMayOpen)
{
    CFile exclusive;
    ASSERT_TRUE(exclusive.Open(path.c_str(), CFile::modeRead));
    CFile second;
    EXPECT_FALSE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    exclusive.Close();

    CFile shared;
    ASSERT_TRUE(shared.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_TRUE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
}

TEST_F(CFileTest, MovedFileKeepsTheHandle)
{
    CFile first;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead));
    CFile moved(std::move(first));
    EXPECT_EQ(14u, moved.GetLength());
    EXPECT_THROW(first.GetLength(), CFileException);
}
