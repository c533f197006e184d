#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "RoomcodeCLI/TerminationGuard.hpp"
#include "Support/ManualClock.hpp"
#include "Support/RecordingSignals.hpp"

namespace {

using RoomcodeCLI::TerminationGuard;
using namespace std::chrono_literals;

// Stands in for ending the process: records the status and returns.
struct Ends {
    std::mutex mutex;
    std::vector<int> statuses;
    std::function<void(int)> recorder() {
        return [this](int status) {
            const std::lock_guard lock(mutex);
            statuses.push_back(status);
        };
    }
    std::vector<int> seen() {
        const std::lock_guard lock(mutex);
        return statuses;
    }
};

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

TEST(TerminationGuard, WithNothingOpenASignalEndsTheRunAtOnceAndAfterTheClaimNothing) {
    Testing::ManualClock clock;
    Ends ends;
    TerminationGuard guard(clock, ends.recorder());
    guard.signalled(RoomcodeCLI::sigtermExitStatus);
    EXPECT_EQ(ends.seen(), std::vector<int>{143});
    EXPECT_FALSE(guard.claimExit()) << "nothing may be printed after a signal";
    EXPECT_THROW(guard.opening(), RoomcodeCore::ReadingStopped) << "nor pressed";

    TerminationGuard claimed(clock, ends.recorder());
    EXPECT_TRUE(claimed.claimExit());
    claimed.signalled(RoomcodeCLI::sigintExitStatus);
    EXPECT_EQ(ends.seen(), std::vector<int>{143}) << "the run that claimed the exit prints and exits itself";
    EXPECT_EQ(clock.wakes, 0);
}

// A signal while a popover is open: requests are held and sleeps woken until the
// main thread reaches the close; it closes, and the run ends with the first
// signal's status, however many came.
TEST(TerminationGuard, WithAPopoverOpenTheRunEndsOnlyOnceItIsClosed) {
    Testing::ManualClock clock;
    Ends ends;
    TerminationGuard guard(clock, ends.recorder());
    guard.opening();
    EXPECT_FALSE(guard.requestsHeld());

    auto first = std::async(std::launch::async, [&] { guard.signalled(RoomcodeCLI::sigintExitStatus); });
    ASSERT_TRUE(eventually([&] { return guard.requestsHeld(); }));
    EXPECT_TRUE(guard.stopRequested());
    EXPECT_EQ(clock.wakes, 1);
    auto second = std::async(std::launch::async, [&] { guard.signalled(RoomcodeCLI::sigtermExitStatus); });
    EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout)
        << "the second signal waits for the close too";
    EXPECT_TRUE(ends.seen().empty());

    guard.closing();
    EXPECT_FALSE(guard.requestsHeld()) << "the close needs its requests";
    EXPECT_TRUE(ends.seen().empty());
    guard.closed();
    EXPECT_EQ(ends.seen(), std::vector<int>{130});
    EXPECT_EQ(first.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(second.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(ends.seen(), std::vector<int>{130});
    EXPECT_EQ(clock.wakes, 1);
}

TEST(TerminationGuard, ASignalDuringTheCloseHoldsNoRequestAndEndsTheRunWhenItIsDone) {
    Testing::ManualClock clock;
    Ends ends;
    TerminationGuard guard(clock, ends.recorder());
    guard.opening();
    guard.closing();
    auto handler = std::async(std::launch::async, [&] { guard.signalled(RoomcodeCLI::sigtermExitStatus); });
    ASSERT_TRUE(eventually([&] { return guard.stopRequested(); }));
    EXPECT_FALSE(guard.requestsHeld());
    guard.closed();
    EXPECT_EQ(handler.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(ends.seen(), std::vector<int>{143});
}

TEST(TerminationGuard, AMainThreadThatDoesNotCloseInTimeIsEndedAnyway) {
    Testing::ManualClock clock;
    Ends ends;
    TerminationGuard guard(clock, ends.recorder(), 0.05);
    guard.opening();
    guard.signalled(RoomcodeCLI::sigtermExitStatus);  // returns once the bound has passed
    EXPECT_EQ(ends.seen(), std::vector<int>{143});
    guard.closed();
    EXPECT_FALSE(guard.claimExit());
    EXPECT_EQ(ends.seen(), std::vector<int>{143});
}

using Testing::RecordingSignals;

TEST(TerminationGuard, BothSignalsAreIgnoredThenWatchedWithTheirOwnStatus) {
    Testing::ManualClock clock;
    Ends ends;
    TerminationGuard sigterm(clock, ends.recorder());
    RecordingSignals signals;
    RoomcodeCLI::installTerminationHandlers(signals, sigterm);
    EXPECT_EQ(signals.calls, (std::vector<std::string>{"ignore 15", "ignore 2", "watch 15", "watch 2"}));
    signals.handlers.at(SIGTERM)();

    TerminationGuard sigint(clock, ends.recorder());
    RoomcodeCLI::installTerminationHandlers(signals, sigint);
    signals.handlers.at(SIGINT)();
    EXPECT_EQ(ends.seen(), (std::vector<int>{143, 130}));
}

}  // namespace
