#pragma once
// A show of a copy of the real qvedge.scr on the WebView2 road: the copy and its packed
// configuration, the scripted runtime (webview2/testprovider) beside it, and the runtime's
// knob file and journal, all in the test's own workspace. The copy's file name carries the
// test process's id: the user-data folder of its views is named after the file, and tests
// run side by side.
#include "framework/Win.h"
#include "tests/qvedge/support/ProgramWorkspace.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Long enough for any step of a show on a loaded machine; a passing test waits far less.
constexpr DWORD SHOW_STEP_LIMIT_MS = 10000;

// One line of the runtime's journal: who (envN, viewN), the method, its name=value fields.
struct JournalCall {
    std::string who;
    std::string method;
    std::vector<std::pair<std::string, std::string>> fields;

    // The value of the field; empty when it has none.
    std::string field(const std::string& name) const;
    // "method" or "method name=value" matches the call.
    bool is(const std::string& method, const std::string& name = "", const std::string& value = "") const;
};
using Journal = std::vector<JournalCall>;

// The calls of the method, in journal order.
Journal callsOf(const Journal& journal, const std::string& method);
// The position of the first call at or after `from` that is(method, name, value); -1 when none.
int findCall(const Journal& journal, size_t from, const std::string& method, const std::string& name = "",
             const std::string& value = "");
// True when the controller of some view was made visible.
bool showsAView(const Journal& journal);

// The configuration of a show: its document's elements.
struct ShowConfig {
    int mode = 0;
    std::vector<std::string> addresses = {"https://a.example/"};
    bool random = false;
    int timeOut = 0;
    // The SelectedFolder element's path; none when empty.
    std::string selectedFolder;
    // Values of the exitCondition element's conditions.
    std::vector<std::string> exitConditions = {"keyboard_button"};
};
std::string showDocument(const ShowConfig& config);

enum class ShowStart {
    // "/s /config <package>": a test run, whose grace period keeps other tests' windows
    // from ending it by taking the activation.
    TestRun,
    // "/s" alone, the configuration in the copy's own trailer: the show as Windows starts it.
    SelfContained,
};

class EdgeShow {
public:
    // Without the runtime, no provider lies beside the copy.
    explicit EdgeShow(const std::string& knobs = "", bool withRuntime = true);
    ~EdgeShow();
    EdgeShow(const EdgeShow&) = delete;
    EdgeShow& operator=(const EdgeShow&) = delete;

    // Packs the configuration and starts the copy; false when any of that fails.
    bool start(const ShowConfig& config, ShowStart how = ShowStart::TestRun, const std::string& extraWords = "");

    Journal journal() const;
    // Waits until the journal satisfies `done`; false when it does not within the limit
    // or the program has ended without it.
    bool waitForJournal(const std::function<bool(const Journal&)>& done, DWORD limitMs = SHOW_STEP_LIMIT_MS) const;
    // Waits until the program shows its dialog; null when it does not within the limit.
    HWND waitForDialog(DWORD limitMs = SHOW_STEP_LIMIT_MS) const;
    bool waitForEnd(DWORD limitMs = SHOW_STEP_LIMIT_MS) const;
    bool running() const;
    DWORD exitCode() const;
    DWORD processId() const;
    // Asks the show to end as Windows would, by closing its dialog.
    bool close() const;

    // The workspace folder, without a trailing backslash.
    std::string folder() const { return workspace.folder; }

    std::string programFile;
    std::string journalFile;

private:
    ProgramWorkspace workspace;
    std::string knobFile;
    std::unique_ptr<CleanRun> run;
};

// A visible window of the class in the process, top-level or below one; null when none.
HWND findVisibleWindowOfClass(DWORD processId, const std::string& className);
