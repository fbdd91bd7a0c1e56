#include "common/Crypto.h"

#include "common/PackageFormat.h"
#include "framework/CArchive.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ostream>
#include <string>

namespace {
using MFC::CCrypto;

CByteArray BytesOf(const std::string& bytes)
{
    CByteArray array;
    array.SetSize(static_cast<int>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array.GetData());
    return array;
}

std::string StringOf(const CByteArray& array)
{
    return std::string(reinterpret_cast<const char*>(array.GetData()), array.GetSize());
}

// Encrypts any plaintext, well-formed or not, with CryptoAPI directly and the same key
// recipe, so the reader can be fed what no writer of ours produces.
std::string EncryptRaw(const std::string& plaintext, const char* passPhrase = configPassPhrase)
{
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    HCRYPTKEY key = 0;
    std::string data = plaintext;
    DWORD length = static_cast<DWORD>(data.size());
    data.resize(data.size() + 8);
    bool ok = CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
              CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
              CryptHashData(hash, reinterpret_cast<const BYTE*>(passPhrase), std::strlen(passPhrase), 0) &&
              CryptDeriveKey(provider, CALG_RC2, hash, CRYPT_EXPORTABLE, &key) &&
              CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(&data[0]), &length,
                           static_cast<DWORD>(data.size()));
    EXPECT_TRUE(ok) << GetLastError();
    CryptDestroyKey(key);
    CryptDestroyHash(hash);
    CryptReleaseContext(provider, 0);
    data.resize(ok ? length : 0);
    return data;
}

class CryptoTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(crypto.DeriveKey(configPassPhrase)); }

    // Decrypts into a result that must stay untouched when decryption fails.
    bool Decrypt(const std::string& ciphertext, std::string& text)
    {
        CString result = "untouched";
        bool ok = crypto.DecryptString(BytesOf(ciphertext), result);
        text = result.str();
        return ok;
    }

    CCrypto crypto;
};

struct TwoStrings : CObject {
    CString first, second;
    void Serialize(CArchive& archive) override
    {
        if (archive.IsStoring())
            archive << first << second;
        else
            archive >> first >> second;
    }
};
}  // namespace

TEST(ConfigPassPhraseTest, Is121AsciiBytesWithTabsAndLineFeeds)
{
    std::string phrase = configPassPhrase;
    EXPECT_EQ(121u, phrase.size());
    EXPECT_NE(std::string::npos, phrase.find('\t'));
    EXPECT_NE(std::string::npos, phrase.find('\n'));
    EXPECT_TRUE(std::all_of(phrase.begin(), phrase.end(), [](char c) { return c > 0; }));
}

class CryptoRoundTripTest : public CryptoTest, public testing::WithParamInterface<size_t> {};

TEST_P(CryptoRoundTripTest, DecryptsWhatItEncrypted)
{
    std::string original;
    for (size_t i = 0; i < GetParam(); ++i)
        original += static_cast<char>(i * 7 % 256);
    CByteArray ciphertext;
    ASSERT_TRUE(crypto.EncryptString(CString(original), ciphertext));
    EXPECT_EQ(0, ciphertext.GetSize() % 8);
    EXPECT_NE(original, StringOf(ciphertext).substr(1));

    std::string text;
    ASSERT_TRUE(Decrypt(StringOf(ciphertext), text));
    EXPECT_EQ(original, text);
}

// Around each length-prefix boundary and the padding block; the empty string needs more
// room than twice its archived length.
INSTANTIATE_TEST_SUITE_P(Lengths, CryptoRoundTripTest,
                         testing::Values(0, 1, 2, 6, 7, 8, 254, 255, 1500, 65533, 65534, 200000));

TEST_F(CryptoTest, ObjectRoundTrip)
{
    TwoStrings original;
    original.first = "first";
    original.second = std::string(300, 's');
    CByteArray ciphertext;
    ASSERT_TRUE(crypto.EncryptObject(original, ciphertext));

    TwoStrings decrypted;
    ASSERT_TRUE(crypto.DecryptObject(ciphertext, decrypted));
    EXPECT_EQ(original.first, decrypted.first);
    EXPECT_EQ(original.second, decrypted.second);
}

TEST_F(CryptoTest, ObjectThatReadsPastThePlaintextFails)
{
    TwoStrings decrypted;
    EXPECT_FALSE(crypto.DecryptObject(BytesOf(EncryptRaw("\x03one")), decrypted));
}

// Our encryption matches an independent CryptoAPI encryption with the same recipe.
TEST_F(CryptoTest, CiphertextIsTheDerivedRc2Key)
{
    CByteArray ciphertext;
    ASSERT_TRUE(crypto.EncryptString("<qvx/>", ciphertext));
    EXPECT_EQ(EncryptRaw("\x06<qvx/>"), StringOf(ciphertext));
}

struct PlaintextCase {
    const char* name;
    std::string plaintext;
    std::string expected;
};

void PrintTo(const PlaintextCase& c, std::ostream* os) { *os << c.name; }

class CryptoPlaintextTest : public CryptoTest, public testing::WithParamInterface<PlaintextCase> {};

TEST_P(CryptoPlaintextTest, ReadsTheArchivedString)
{
    std::string text;
    ASSERT_TRUE(Decrypt(EncryptRaw(GetParam().plaintext), text));
    EXPECT_EQ(GetParam().expected, text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CryptoPlaintextTest,
    testing::Values(PlaintextCase{"BytesAfterStringIgnored", std::string("\x04<a/>\0\0junk", 10), "<a/>"},
                    PlaintextCase{"Utf16BackToAnsi", std::string("\xFF\xFE\xFF\x04<\0\xE9\0/\0>\0", 12),
                                  "<\xE9/>"}),
    [](const testing::TestParamInfo<PlaintextCase>& info) { return std::string(info.param.name); });

class CryptoRejectTest : public CryptoTest, public testing::WithParamInterface<PlaintextCase> {};

TEST_P(CryptoRejectTest, FailsWithResultUntouched)
{
    std::string text;
    EXPECT_FALSE(Decrypt(EncryptRaw(GetParam().plaintext), text));
    EXPECT_EQ("untouched", text);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, CryptoRejectTest,
    testing::Values(PlaintextCase{"EmptyPlaintext", "", ""},
                    PlaintextCase{"StringEndsEarly", "\x09<qvx/>", ""},
                    PlaintextCase{"WordPrefixCut", "\xFF\x01", ""},
                    PlaintextCase{"DwordLengthBeyondData", std::string("\xFF\xFF\xFF\xFE\xFF\0\0abc", 10), ""},
                    PlaintextCase{"QwordAtLimit",
                                  std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\x80\0\0\0\0", 15), ""},
                    PlaintextCase{"Utf16Cut", std::string("\xFF\xFE\xFF\x02<\0", 6), ""}),
    [](const testing::TestParamInfo<PlaintextCase>& info) { return std::string(info.param.name); });

TEST_F(CryptoTest, CiphertextThatCryptoApiRejectsFails)
{
    std::string good = EncryptRaw("\x03xyz");
    std::string text;
    EXPECT_FALSE(Decrypt("", text));
    EXPECT_FALSE(Decrypt(good.substr(0, 7), text));
    EXPECT_FALSE(Decrypt(good + "x", text));
    EXPECT_EQ("untouched", text);
}

// The padding check of the last block is what rejects a wrong key.
TEST_F(CryptoTest, WrongKeyFailsWithResultUntouched)
{
    std::string text;
    ASSERT_TRUE(crypto.DeriveKey("not the pass phrase"));
    EXPECT_FALSE(Decrypt(EncryptRaw("\x06<qvx/>"), text));
    EXPECT_EQ("untouched", text);
}

TEST_F(CryptoTest, SecondDeriveKeyReplacesTheKey)
{
    std::string package = EncryptRaw("\x06<qvx/>");
    std::string text;
    ASSERT_TRUE(crypto.DeriveKey("another phrase"));
    ASSERT_TRUE(crypto.DeriveKey(configPassPhrase));
    ASSERT_TRUE(Decrypt(package, text));
    EXPECT_EQ("<qvx/>", text);

    std::string other = EncryptRaw("\x06<qvx/>", "another phrase");
    EXPECT_FALSE(Decrypt(other, text));
    ASSERT_TRUE(crypto.DeriveKey("another phrase"));
    ASSERT_TRUE(Decrypt(other, text));
    EXPECT_EQ("<qvx/>", text);
}

TEST(CryptoWithoutKeyTest, EveryOperationFails)
{
    CCrypto crypto;
    CString text = "untouched";
    CByteArray ciphertext;
    TwoStrings object;
    EXPECT_FALSE(crypto.EncryptString("x", ciphertext));
    EXPECT_FALSE(crypto.EncryptObject(object, ciphertext));
    EXPECT_FALSE(crypto.DecryptString(BytesOf(EncryptRaw("\x01x")), text));
    EXPECT_FALSE(crypto.DecryptObject(BytesOf(EncryptRaw("\x01x")), object));
    EXPECT_STREQ("untouched", text);
    EXPECT_EQ(0, ciphertext.GetSize());
}

class GetDecryptedFileTest : public testing::Test {
protected:
    TempFile file;
    CString result = "untouched";
};

TEST_F(GetDecryptedFileTest, DecryptsAWholePackageFile)
{
    ASSERT_TRUE(WriteBytes(file.Path(), EncryptRaw("\x06<qvx/>")));
    ASSERT_TRUE(GetDecryptedFile(file.Path(), result));
    EXPECT_STREQ("<qvx/>", result);
}

TEST_F(GetDecryptedFileTest, ExpandsARelativePath)
{
    ASSERT_TRUE(WriteBytes(file.Path(), EncryptRaw("\x02ok")));
    std::string path = file.Path();
    size_t slash = path.rfind('\\');
    ASSERT_TRUE(SetCurrentDirectoryA(path.substr(0, slash).c_str()));
    ASSERT_TRUE(GetDecryptedFile(path.substr(slash + 1).c_str(), result));
    EXPECT_STREQ("ok", result);
}

TEST_F(GetDecryptedFileTest, MissingFileFailsWithoutException)
{
    EXPECT_NO_THROW(EXPECT_FALSE(GetDecryptedFile(CString(file.Path()) + ".missing", result)));
    EXPECT_NO_THROW(EXPECT_FALSE(GetDecryptedFile("", result)));
    EXPECT_STREQ("untouched", result);
}

TEST_F(GetDecryptedFileTest, UndecryptableFilesFail)
{
    const std::string contents[] = {"", "not a multiple of eight", EncryptRaw("\x09short")};
    for (const std::string& bytes : contents) {
        ASSERT_TRUE(WriteBytes(file.Path(), bytes));
        EXPECT_FALSE(GetDecryptedFile(file.Path(), result));
    }
    EXPECT_STREQ("untouched", result);
}

// A file of 2 GB - 1 bytes fits the length rule but not a 32-bit address space.
TEST_F(GetDecryptedFileTest, FileTooLargeForMemoryFails)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit address space holds the file";
    HANDLE sparse = CreateFileA(file.Path(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, sparse);
    LARGE_INTEGER size;
    size.QuadPart = INT_MAX;
    const bool grown = SetFilePointerEx(sparse, size, nullptr, FILE_BEGIN) && SetEndOfFile(sparse);
    CloseHandle(sparse);
    ASSERT_TRUE(grown);
    EXPECT_NO_THROW(EXPECT_FALSE(GetDecryptedFile(file.Path(), result)));
    EXPECT_STREQ("untouched", result);
}

// The file is opened without a share flag, so a writer holding it open keeps it unread.
TEST_F(GetDecryptedFileTest, FileHeldOpenByAWriterFails)
{
    ASSERT_TRUE(WriteBytes(file.Path(), EncryptRaw("\x02ok")));
    HANDLE writer = CreateFileA(file.Path(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_FALSE(GetDecryptedFile(file.Path(), result));
    CloseHandle(writer);
    EXPECT_TRUE(GetDecryptedFile(file.Path(), result));
}

// The package was written by OpenSSL from the fixture's text (tools/openssl-package).
TEST_F(GetDecryptedFileTest, ReadsAPackageWrittenByOpenSsl)
{
    std::string plain = ReadBytes(QV_OPENSSL_PLAIN);
    ASSERT_GT(plain.size(), 255u);
    ASSERT_TRUE(GetDecryptedFile(QV_OPENSSL_PACKAGE, result));
    EXPECT_EQ(plain, result.str());
}
