#include "qvedge/app/ConfigureMode.h"

#include "common/ProgramBaseName.h"
#include "framework/Win.h"
#include "qvedge/app/QuorvelConfDialog.h"
#include "qvedge/res/resource.h"

#include <mbstring.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

// Opens the package of the common application-data folder with its associated program
// and waits for that program to end.
void openAuthoringPackage()
{
    char commonData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, commonData)))
        return;
    CString folderName;
    CString packageName;
    folderName.LoadString(IDS_QUORVEL_FOLDER);
    packageName.LoadString(IDS_QUORVEL_PACKAGE);
    const CString folder = CString(commonData) + folderName;
    if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return;
    const CString package = folder + packageName;

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = package;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
    // No program started: the handle is null and the wait returns at once.
    WaitForSingleObject(info.hProcess, INFINITE);
    if (info.hProcess)
        CloseHandle(info.hProcess);
}

} // namespace

int runConfigureMode()
{
    return runConfigureMode(getProgramBaseName());
}

int runConfigureMode(const CString& programBaseName)
{
    CString productName;
    productName.LoadString(IDS_PRODUCT_NAME);
    // Exact: another letter case is another program.
    if (_mbscmp(reinterpret_cast<const unsigned char*>(programBaseName.GetString()),
                reinterpret_cast<const unsigned char*>(productName.GetString())) != 0) {
        CQuorvelConfDialog dialog;
        dialog.DoModal();
        return 0;
    }
    openAuthoringPackage();
    return 1;
}
