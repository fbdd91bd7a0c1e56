#include "framework/OleInit.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// What CoInitializeEx answers on a fresh thread after the steps ran there: S_OK when they
// left no COM behind, S_FALSE when the thread is still initialised.
template <class Steps>
HRESULT comLeftBehindBy(Steps steps)
{
    HRESULT answer = E_FAIL;
    std::thread([&] {
        steps();
        answer = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(answer))
            CoUninitialize();
    }).join();
    return answer;
}

TEST(ComInitializationTest, EnteringAgainStillLeavesOnce)
{
    EXPECT_EQ(S_OK, comLeftBehindBy([] {
        ComInitialization initialization;
        EXPECT_EQ(S_OK, initialization.Enter(COINIT_MULTITHREADED));
        EXPECT_EQ(S_OK, initialization.Enter(COINIT_MULTITHREADED));
    }));
}

// A thread already in another apartment refuses the call; its own initialisation stays.
TEST(ComInitializationTest, ARefusedEnterUndoesNothing)
{
    EXPECT_EQ(S_FALSE, comLeftBehindBy([] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        ComInitialization initialization;
        EXPECT_EQ(RPC_E_CHANGED_MODE, initialization.Enter(COINIT_APARTMENTTHREADED));
    }));
}

} // namespace
