#pragma once
// The address a "mem" request is fetched from. Windows-free; both browser engines use it.
#include "framework/CString.h"

// Every "mem://" becomes "https://", and the "&callback=" parameter is dropped up to the
// next "&"; a callback parameter at the end stays. Both searches are case-sensitive.
CString rewriteMemAddress(const CString& address);
