// Every test of an executable starts as in a process of its own: the program keeps state
// for the whole process (the application object, the show's loop, the exit conditions, the
// hooks, the error box's clock), and CTest runs each test alone, but a whole executable
// run as one process must give each test the same start.
#include "framework/OleInit.h"
#include "qvedge/app/QuorvelEdge.h"
#include "qvedge/config/ConfigLoading.h"
#include "qvedge/config/ErrorBox.h"
#include "qvedge/display/InputHooks.h"
#include "qvedge/display/QuorvelDlg.h"
#include "tests/qvedge/support/LogCapture.h"

#include <gtest/gtest.h>

#include <new>

namespace {

// The seams that tests replace, as the program set them; taken before the first test.
struct ProgramSeams {
    ConfigReaders readers = configReaders;
    time_t (*boxClock)() = errorBoxClock;
    logging::Clock logClock = logging::timeNow;
    MonitorApi monitors = monitorApi;
    RandomSource shuffle = urlShuffleRandom;
    UINT_PTR(WINAPI* setTimer)(HWND, UINT_PTR, UINT, TIMERPROC) = dialogSetTimer;
};

// Drops what earlier tests left in this thread's queue, a quit message too.
void emptyMessageQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// The display count of the cursor back to 0, where a fresh thread starts.
void resetCursorCount()
{
    int count = ShowCursor(TRUE);
    while (count < 0)
        count = ShowCursor(TRUE);
    while (count > 0)
        count = ShowCursor(FALSE);
}

void startAfresh(const ProgramSeams& seams)
{
    emptyMessageQueue();
    resetCursorCount();

    // Ended as the class library ends it, then built again in place as the static
    // initialiser built it.
    AfxOleTerm();
    theApp.~CQuorvelApp();
    new (&theApp) CQuorvelApp();
    logFilePath.clear();

    loopState = ModalLoopState();
    exitWatch = ExitWatchState();
    webViewLoadFailed = false;
    firstAllLoaded = true;
    removeInputHooks();
    hookTargetWindow = nullptr;
    hookInstance = nullptr;
    mouseStartPoint = {0, 0};
    hookExitConditions = nullptr;
    errorBoxMoves = ErrorBoxMoves();

    configReaders = seams.readers;
    errorBoxClock = seams.boxClock;
    logging::timeNow = seams.logClock;
    monitorApi = seams.monitors;
    urlShuffleRandom = seams.shuffle;
    dialogSetTimer = seams.setTimer;
}

class FreshProcessListener : public ::testing::EmptyTestEventListener {
public:
    // The one logger takes its file name from the first test that logs and keeps it; tests
    // that switch it on expect a file that cannot be opened, so with more than one test in
    // the process it is built here, on a folder that does not exist.
    void OnTestProgramStart(const ::testing::UnitTest& unitTest) override
    {
        if (unitTest.test_to_run_count() < 2)
            return;
        logFilePath = UNOPENABLE_LOG_PATH;
        logging::getFileLogger();
        logFilePath.clear();
    }

    void OnTestStart(const ::testing::TestInfo&) override
    {
        if (!seams)
            seams = new ProgramSeams;
        else
            startAfresh(*seams);
    }

private:
    // Lives to the end of the process, like the listener itself.
    const ProgramSeams* seams = nullptr;
};

// The listener list owns the listener.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessListener);
    return true;
}();

} // namespace
