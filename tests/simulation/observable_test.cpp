// Observables notify on every assignment; a subscription lives exactly as long as its handle.
#include "simulation/Observable.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace pelagrin {
namespace {

TEST(Observable, EveryAssignmentNotifiesEvenOfAnEqualValue) {
    Observable<int> value{3};
    std::vector<int> seen;
    const Subscription subscription = value.subscribe([&](int v) { seen.push_back(v); });
    value = 3;
    value.set(4);
    EXPECT_EQ(seen, (std::vector<int>{3, 4}));
    EXPECT_EQ(value.get(), 4);
}

TEST(Observable, NotificationsEndWhenTheSubscriptionIsDroppedOrResetButSurviveAMove) {
    Observable<int> value;
    int scopedCalls = 0;
    int movedCalls = 0;
    {
        const Subscription scoped = value.subscribe([&](int) { ++scopedCalls; });
        value = 1;
    }
    Subscription original = value.subscribe([&](int) { ++movedCalls; });
    Subscription moved = std::move(original);
    original.reset();
    value = 2;
    moved.reset();
    value = 3;
    EXPECT_EQ(scopedCalls, 1);
    EXPECT_EQ(movedCalls, 1);
}

TEST(Observable, ObserverMayUnsubscribeAnotherDuringNotification) {
    Observable<int> value;
    std::optional<Subscription> second;
    int firstCalls = 0;
    int secondCalls = 0;
    const Subscription first = value.subscribe([&](int) {
        ++firstCalls;
        second.reset();
    });
    second = value.subscribe([&](int) { ++secondCalls; });
    value = 1;
    value = 2;
    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(secondCalls, 0);
}

} // namespace
} // namespace pelagrin
