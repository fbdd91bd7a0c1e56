#pragma once
// The HTTPS feed server that CTest starts for these tests (tools/feed-server).
#include <string>

// "mem://localhost:<port>" + path, or empty when the server's port file is missing.
std::string feedServerMemAddress(const std::string& path);
// Adds the server's certificate to the prefix's Root store so WinINet trusts it.
bool trustFeedServerCertificate();
