// A manager window and a reticle window of the test's own, made with the program's window
// procedures and entered into AppState the way start-up does, with a fresh AppState, an empty
// call log and no stored setting.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "app/AppState.h"
#include "app/ManagerWindow.h"
#include "tests/windows/manager/CallLog.h"
#include "tests/windows/manager/MenuWatch.h"
#include "tests/windows/support/WineTest.h"

class ManagerFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ManagerWndProc called directly, as the system would.
    LRESULT Manager(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Dispatches what is queued for this thread.
    static void Pump();
    // Dispatches this thread's messages until condition holds; false on timeout.
    static bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = WaitTimeoutMs);
    // The messages queued for the manager window, taken off the queue.
    static std::vector<UINT> TakeManagerQueue();
};
