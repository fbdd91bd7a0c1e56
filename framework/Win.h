#pragma once
// The one way this project includes the Win32 headers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// CString::LoadString and CDialog::SetDlgItemText are members of ours; the API is always
// called by its A/W name.
#undef LoadString
#undef SetDlgItemText
