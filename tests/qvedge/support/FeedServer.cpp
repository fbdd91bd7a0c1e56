#include "tests/qvedge/support/FeedServer.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "framework/Win.h"
#include <wincrypt.h>

namespace {
// The tests run in the build folder; the fixture writes there.
const char portFile[] = "feed-server/port";
const char certificateFile[] = "feed-server/cert.der";
}

std::string feedServerMemAddress(const std::string& path)
{
    std::ifstream in(portFile);
    int port = 0;
    if (!(in >> port))
        return std::string();
    return "mem://localhost:" + std::to_string(port) + path;
}

bool trustFeedServerCertificate()
{
    std::ifstream in(certificateFile, std::ios::binary);
    std::vector<BYTE> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty())
        return false;
    HCERTSTORE root = CertOpenSystemStoreA(0, "ROOT");
    if (!root)
        return false;
    BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(),
                                                  static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                                  nullptr);
    CertCloseStore(root, 0);
    return added != FALSE;
}
