#include "tests/qvedge/support/EdgeShow.h"

#include "tests/qvedge/support/ProgramRun.h"

#include <fstream>
#include <sstream>

namespace {

constexpr DWORD POLL_MS = 20;
const char* const RUNTIME_FILE = "QuorvelRuntime.dll";

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

JournalCall parseLine(const std::string& line)
{
    JournalCall call;
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        parts.push_back(line.substr(start, tab - start));
    parts.push_back(line.substr(start));
    call.who = parts[0];
    if (parts.size() > 1)
        call.method = parts[1];
    for (size_t i = 2; i < parts.size(); ++i) {
        const size_t equals = parts[i].find('=');
        call.fields.emplace_back(parts[i].substr(0, equals),
                                 equals == std::string::npos ? std::string() : parts[i].substr(equals + 1));
    }
    return call;
}

bool isDialog(HWND window)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770";
}

struct ClassSearch {
    DWORD processId;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK searchChild(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ClassSearch*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (*search->className == className && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK searchTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ClassSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    searchChild(window, param);
    if (!search->found)
        EnumChildWindows(window, searchChild, param);
    return search->found ? FALSE : TRUE;
}

} // namespace

std::string JournalCall::field(const std::string& name) const
{
    for (const auto& f : fields)
        if (f.first == name)
            return f.second;
    return std::string();
}

bool JournalCall::is(const std::string& wanted, const std::string& name, const std::string& value) const
{
    return method == wanted && (name.empty() || field(name) == value);
}

Journal callsOf(const Journal& journal, const std::string& method)
{
    Journal calls;
    for (const JournalCall& call : journal)
        if (call.method == method)
            calls.push_back(call);
    return calls;
}

int findCall(const Journal& journal, size_t from, const std::string& method, const std::string& name,
             const std::string& value)
{
    for (size_t i = from; i < journal.size(); ++i)
        if (journal[i].is(method, name, value))
            return static_cast<int>(i);
    return -1;
}

bool showsAView(const Journal& journal)
{
    return findCall(journal, 0, "put_IsVisible", "value", "1") >= 0;
}

std::string showDocument(const ShowConfig& config)
{
    std::string text = "<configuration>\r\n<mode value=\"" + std::to_string(config.mode) + "\"/>\r\n";
    if (!config.selectedFolder.empty())
        text += "<SelectedFolder path=\"" + config.selectedFolder + "\"/>\r\n";
    text += "<exitCondition>";
    for (const std::string& condition : config.exitConditions)
        text += "<condition value=\"" + condition + "\"/>";
    text += "</exitCondition>\r\n<MultiMonitorMode value=\"same_on_every\"/>\r\n<urlList>";
    for (const std::string& address : config.addresses)
        text += "<url adr=\"" + address + "\"/>";
    text += "</urlList>\r\n<random value=\"" + std::string(config.random ? "1" : "0") + "\"/>\r\n<timeOut value=\"" +
            std::to_string(config.timeOut) + "\"/>\r\n<author value=\"Edge show test\"/>\r\n</configuration>\r\n";
    return text;
}

EdgeShow::EdgeShow(const std::string& knobs, bool withRuntime)
{
    programFile = "edge-show-" + std::to_string(GetCurrentProcessId()) + ".scr";
    knobFile = workspace.document("knobs.txt", knobs);
    journalFile = workspace.path("journal.txt");
    DeleteFileA(journalFile.c_str());
    if (withRuntime)
        CopyFileA(windowsPath(QV_TEST_PROVIDER_DLL).c_str(), workspace.path(RUNTIME_FILE).c_str(), FALSE);
    // The copy inherits them; the runtime reads them when the first view asks for it.
    SetEnvironmentVariableA("QV_RUNTIME_KNOBS", knobFile.c_str());
    SetEnvironmentVariableA("QV_RUNTIME_JOURNAL", journalFile.c_str());
}

EdgeShow::~EdgeShow()
{
    // The run ends (by its handle, when it is still running) before its files go.
    run.reset();
    SetEnvironmentVariableA("QV_RUNTIME_KNOBS", nullptr);
    SetEnvironmentVariableA("QV_RUNTIME_JOURNAL", nullptr);
}

bool EdgeShow::start(const ShowConfig& config, ShowStart how, const std::string& extraWords)
{
    std::string program;
    std::string arguments;
    if (how == ShowStart::SelfContained) {
        program = workspace.selfContained(programFile, showDocument(config));
        arguments = "/s";
    } else {
        const std::string package = workspace.package("show.qvx", showDocument(config));
        if (package.empty())
            return false;
        program = workspace.plainCopy(programFile);
        arguments = "/s /config " + quoted(package);
    }
    if (program.empty())
        return false;
    if (!extraWords.empty())
        arguments += " " + extraWords;
    run = std::make_unique<CleanRun>(arguments, program);
    return run->program.started;
}

Journal EdgeShow::journal() const
{
    const std::string text = fileText(journalFile);
    Journal calls;
    size_t start = 0;
    // A line is complete with its line end; a last one without it is still being written.
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        calls.push_back(parseLine(text.substr(start, end - start)));
    return calls;
}

bool EdgeShow::waitForJournal(const std::function<bool(const Journal&)>& done, DWORD limitMs) const
{
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < limitMs;) {
        const bool ended = !running();
        if (done(journal()))
            return true;
        if (ended)
            return false;
        Sleep(POLL_MS);
    }
    return done(journal());
}

HWND EdgeShow::waitForDialog(DWORD limitMs) const
{
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < limitMs && running(); Sleep(POLL_MS)) {
        if (HWND dialog = findShownWindow(processId(), isDialog))
            return dialog;
    }
    return nullptr;
}

bool EdgeShow::waitForEnd(DWORD limitMs) const
{
    return run && run->program.waitForEnd(limitMs);
}

bool EdgeShow::running() const
{
    return run && run->program.started && !run->program.waitForEnd(0);
}

DWORD EdgeShow::exitCode() const
{
    return run ? run->program.exitCode() : STILL_ACTIVE;
}

DWORD EdgeShow::processId() const
{
    return run ? run->program.info.dwProcessId : 0;
}

bool EdgeShow::close() const
{
    HWND dialog = waitForDialog();
    return dialog && PostMessageA(dialog, WM_CLOSE, 0, 0);
}

HWND findVisibleWindowOfClass(DWORD processId, const std::string& className)
{
    ClassSearch search{processId, &className, nullptr};
    EnumWindows(searchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
