#pragma once
// CryptoAPI encryption of configuration data: an RC2 key derived from the MD5 hash of a
// pass phrase, over one string (or object) in the class library's archive format.
#include "framework/CByteArray.h"
#include "framework/CMemFile.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/Unique.h"
#include "framework/Win.h"

#include <wincrypt.h>

namespace MFC {

struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static Handle Empty() { return 0; }
    static void Close(Handle handle) { CryptReleaseContext(handle, 0); }
};

struct CryptKeyTraits {
    using Handle = HCRYPTKEY;
    static Handle Empty() { return 0; }
    static void Close(Handle handle) { CryptDestroyKey(handle); }
};

struct CryptHashTraits {
    using Handle = HCRYPTHASH;
    static Handle Empty() { return 0; }
    static void Close(Handle handle) { CryptDestroyHash(handle); }
};

// Without a provider (acquisition failed) every operation reports failure. The decrypting
// operations leave their result unchanged on failure, also when the plaintext does not
// hold a whole archived string.
class CCrypto {
public:
    CCrypto();
    CCrypto(const CCrypto&) = delete;
    CCrypto& operator=(const CCrypto&) = delete;

    virtual ~CCrypto();
    // Replaces the key with one derived from the pass phrase's bytes, without terminator.
    virtual bool DeriveKey(CString passPhrase);
    virtual bool EncryptString(const CString& text, CByteArray& ciphertext);
    virtual bool EncryptObject(CObject& object, CByteArray& ciphertext);
    virtual bool DecryptString(const CByteArray& ciphertext, CString& text);
    virtual bool DecryptObject(const CByteArray& ciphertext, CObject& object);

protected:
    // Encrypts the memory file's bytes into ciphertext.
    virtual bool EncryptBuffer(CByteArray& ciphertext);
    // Leaves the plaintext in the memory file, positioned at its start.
    virtual bool DecryptBuffer(const CByteArray& ciphertext);

private:
    bool CreateHash();
    bool CanCipher() const { return provider && key; }

    // Members are destroyed in reverse order: the memory file first, the context last.
    Unique<CryptProviderTraits> provider;
    Unique<CryptKeyTraits> key;
    Unique<CryptHashTraits> hash;
    CMemFile memFile;
};

}  // namespace MFC

// Decrypts an encrypted configuration with the configuration pass phrase. False, with text
// unchanged, when it does not decrypt to an archived string or does not fit in memory.
bool DecryptConfiguration(const CByteArray& ciphertext, CString& text);

// Reads and decrypts a whole package file with the configuration pass phrase. False, with
// result unchanged, when the file cannot be opened or read or does not decrypt to an
// archived string.
bool GetDecryptedFile(CString path, CString& result);
