#include "common/Crypto.h"

#include "common/PackageFormat.h"
#include "framework/CArchive.h"
#include "framework/CFile.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace MFC {

namespace {
// RC2 pads to whole 8-byte blocks, so a short plaintext grows by up to one block.
constexpr DWORD rc2BlockSize = 8;
}

namespace {
bool AcquireDefaultContext(HCRYPTPROV& acquired)
{
    if (CryptAcquireContextA(&acquired, nullptr, nullptr, PROV_RSA_FULL, 0))
        return true;
    // A fresh user profile has no default key container yet: create it.
    if (GetLastError() != static_cast<DWORD>(NTE_BAD_KEYSET))
        return false;
    if (CryptAcquireContextA(&acquired, nullptr, nullptr, PROV_RSA_FULL, CRYPT_NEWKEYSET))
        return true;
    // Another process may have created it in between; then it is there to be used.
    return GetLastError() == static_cast<DWORD>(NTE_EXISTS) &&
           CryptAcquireContextA(&acquired, nullptr, nullptr, PROV_RSA_FULL, 0);
}
}

CCrypto::CCrypto()
{
    HCRYPTPROV acquired = 0;
    if (!AcquireDefaultContext(acquired))
        return;
    provider.Reset(acquired);
    CreateHash();
}

CCrypto::~CCrypto() = default;

bool CCrypto::DeriveKey(CString passPhrase)
{
    if (!provider || !hash)
        return false;
    hash.Reset();
    if (!CreateHash())
        return false;
    key.Reset();
    HCRYPTKEY derived = 0;
    // CRYPT_EXPORTABLE alone keeps the provider's default key length, which the package
    // writers rely on.
    if (!CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(passPhrase.GetString()),
                       passPhrase.GetLength(), 0) ||
        !CryptDeriveKey(provider.Get(), CALG_RC2, hash.Get(), CRYPT_EXPORTABLE, &derived))
        return false;
    key.Reset(derived);
    return true;
}

bool CCrypto::EncryptString(const CString& text, CByteArray& ciphertext)
{
    if (!CanCipher())
        return false;
    memFile.SetLength(0);
    CArchive archive(memFile, CArchive::store);
    archive << text;
    return EncryptBuffer(ciphertext);
}

bool CCrypto::EncryptObject(CObject& object, CByteArray& ciphertext)
{
    if (!CanCipher())
        return false;
    memFile.SetLength(0);
    CArchive archive(memFile, CArchive::store);
    object.Serialize(archive);
    return EncryptBuffer(ciphertext);
}

bool CCrypto::DecryptString(const CByteArray& ciphertext, CString& text)
{
    if (!CanCipher() || !DecryptBuffer(ciphertext))
        return false;
    CArchive archive(memFile, CArchive::load);
    try {
        archive >> text;
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

bool CCrypto::DecryptObject(const CByteArray& ciphertext, CObject& object)
{
    if (!CanCipher() || !DecryptBuffer(ciphertext))
        return false;
    CArchive archive(memFile, CArchive::load);
    try {
        object.Serialize(archive);
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

bool CCrypto::EncryptBuffer(CByteArray& ciphertext)
{
    std::vector<unsigned char> data = memFile.Detach();
    if (data.size() > INT_MAX / 2)
        return false;
    DWORD length = static_cast<DWORD>(data.size());
    // Twice the plaintext covers the padding of all but the shortest texts; those get
    // one block more.
    data.resize(std::max(2 * length, length + rc2BlockSize));
    if (!CryptEncrypt(key.Get(), 0, TRUE, 0, data.data(), &length, static_cast<DWORD>(data.size())))
        return false;
    ciphertext.SetSize(static_cast<int>(length));
    std::copy_n(data.begin(), length, ciphertext.GetData());
    return true;
}

bool CCrypto::DecryptBuffer(const CByteArray& ciphertext)
{
    memFile.SetLength(0);
    memFile.Write(ciphertext.GetData(), ciphertext.GetSize());
    std::vector<unsigned char> data = memFile.Detach();
    DWORD length = static_cast<DWORD>(data.size());
    if (!CryptDecrypt(key.Get(), 0, TRUE, 0, data.data(), &length))
        return false;
    memFile.Write(data.data(), length);
    memFile.SeekToBegin();
    return true;
}

bool CCrypto::CreateHash()
{
    HCRYPTHASH created = 0;
    if (!CryptCreateHash(provider.Get(), CALG_MD5, 0, 0, &created))
        return false;
    hash.Reset(created);
    return true;
}

}  // namespace MFC

namespace {
constexpr DWORD fullPathBufferSize = 4096;

bool ReadWholeFile(const char* path, CByteArray& contents)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead))
        return false;
    try {
        uint64_t length = file.GetLength();
        if (length > INT_MAX)
            return false;
        contents.SetSize(static_cast<int>(length));
        contents.SetSize(static_cast<int>(file.Read(contents.GetData(), contents.GetSize())));
    } catch (const CFileException&) {
        return false;
    } catch (const CMemoryException&) {
        // A file too large for the address space is no package.
        return false;
    }
    return true;
}
}

bool DecryptConfiguration(const CByteArray& ciphertext, CString& text)
{
    try {
        MFC::CCrypto crypto;
        return crypto.DeriveKey(configPassPhrase) && crypto.DecryptString(ciphertext, text);
    } catch (const CMemoryException&) {
        return false;
    }
}

bool GetDecryptedFile(CString path, CString& result)
{
    char fullPath[fullPathBufferSize] = {};
    DWORD length = GetFullPathNameA(path, fullPathBufferSize, fullPath, nullptr);
    if (length == 0 || length >= fullPathBufferSize)
        return false;
    CByteArray ciphertext;
    if (!ReadWholeFile(fullPath, ciphertext))
        return false;
    return DecryptConfiguration(ciphertext, result);
}
