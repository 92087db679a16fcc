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

TEST(Observable, DroppedSubscriptionStopsNotifications) {
    Observable<int> value;
    int calls = 0;
    {
        const Subscription subscription = value.subscribe([&](int) { ++calls; });
        value = 1;
    }
    value = 2;
    EXPECT_EQ(calls, 1);
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

TEST(Observable, MovedSubscriptionKeepsObservingAndResetEndsIt) {
    Observable<int> value;
    int calls = 0;
    Subscription original = value.subscribe([&](int) { ++calls; });
    Subscription moved = std::move(original);
    original.reset();
    value = 1;
    moved.reset();
    value = 2;
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace pelagrin
