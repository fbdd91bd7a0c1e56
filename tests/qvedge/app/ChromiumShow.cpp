#include "tests/qvedge/app/ChromiumShow.h"

namespace {

constexpr const char* CONTENT_CLASS = "QuorvelChromiumContent";

std::string showDocument(const std::vector<std::string>& pages)
{
    std::string addresses;
    for (const std::string& page : pages) {
        const std::wstring address = chromiumtest::pageAddress(page);
        addresses += "<url adr=\"" + std::string(address.begin(), address.end()) + "\"/>";
    }
    return "<configuration>\r\n<mode value=\"0\"/>\r\n<exitCondition><condition value=\"keyboard_button\"/>"
           "</exitCondition>\r\n<urlList>" +
           addresses + "</urlList>\r\n<timeOut value=\"60000\"/>\r\n<author value=\"chromium show\"/>\r\n"
                       "</configuration>\r\n";
}

// The program copy beside the runtime, made before the run starts.
std::string preparedCopy(ProgramWorkspace& workspace, const std::string& fileName)
{
    const std::string copy = workspace.plainCopy(fileName);
    CopyFileA(chromiumtest::providerFile().c_str(), workspace.path("QuorvelRuntime.dll").c_str(), FALSE);
    SetEnvironmentVariableA("QV_BROWSER", chromiumtest::BROWSER_PATH);
    return copy;
}

struct Found {
    DWORD processId;
    bool shown = false;
};

BOOL CALLBACK findContent(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<Found*>(data);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    found->shown = found->shown || (std::string(name) == CONTENT_CLASS && IsWindowVisible(window));
    return !found->shown;
}

BOOL CALLBACK findInTopLevel(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<Found*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == found->processId)
        EnumChildWindows(window, findContent, data);
    return !found->shown;
}

} // namespace

ChromiumShow::ChromiumShow(const std::string& name, const std::vector<std::string>& pages)
    : fileName(name), copy(preparedCopy(workspace, name)),
      run("/config " + quoted(workspace.package(name + ".qvx", showDocument(pages))), copy)
{
}

ChromiumShow::~ChromiumShow()
{
    if (run.program.started && !run.program.waitForEnd(0))
        close();
    SetEnvironmentVariableA("QV_BROWSER", nullptr);
}

bool ChromiumShow::waitForContent()
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < PROGRAM_TIME_LIMIT_MS;) {
        Found found{run.program.info.dwProcessId};
        EnumWindows(findInTopLevel, reinterpret_cast<LPARAM>(&found));
        if (found.shown)
            return true;
        if (waitPumping(run.program, 100))
            return false;
    }
    return false;
}

bool ChromiumShow::waitForEnd()
{
    return waitPumping(run.program, PROGRAM_TIME_LIMIT_MS);
}

bool ChromiumShow::close()
{
    HWND dialog = findShownWindow(run.program.info.dwProcessId);
    if (dialog)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    return waitForEnd();
}

std::wstring ChromiumShow::userDataFolder() const
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp + fileName;
    return std::wstring(folder.begin(), folder.end());
}
