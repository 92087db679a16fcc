// The app thread: work handed over from other threads runs on it, in order, until it is stopped.
#include "app/AppThread.hpp"

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace pelagrin {
namespace {

TEST(AppThread, RunsWorkPostedFromOtherThreadsInOrderOnItself) {
    boost::asio::io_context context;
    AppThread app(context);
    std::vector<int> order;
    std::vector<bool> onAppThread;
    std::thread driver([&] { app.run(); });
    std::thread other([&] {
        for (int i = 0; i < 100; ++i) {
            app.post([&, i] {
                order.push_back(i);
                onAppThread.push_back(app.isCurrent());
            });
        }
        app.post([&] { app.stop(); });
    });
    other.join();
    driver.join();

    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[i], i);
        EXPECT_TRUE(onAppThread[i]);
    }
    EXPECT_FALSE(app.isCurrent()) << "the test's own thread is not the app thread";
}

TEST(AppThread, KeepsRunningWhileIdleUntilStopped) {
    boost::asio::io_context context;
    AppThread app(context);
    bool ran = false;
    std::thread driver([&] { app.run(); });
    // Posted only after the loop has had every chance to run dry: it must still be there to take it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    app.post([&] {
        ran = true;
        app.stop();
    });
    driver.join();
    EXPECT_TRUE(ran);
}

TEST(AppThread, WorkThatThrowsIsLoggedAndTheWorkAfterItStillRuns) {
    boost::asio::io_context context;
    std::ostringstream diagnostics;
    AppThread app(context, diagnostics);
    bool ran = false;
    app.post([] { throw std::runtime_error("the disk is full"); });
    app.post([] { throw 42; });
    app.post([&] {
        ran = true;
        app.stop();
    });
    app.run();

    EXPECT_TRUE(ran);
    EXPECT_EQ(diagnostics.str(),
              "pelagrin: a piece of work on the app thread failed and was skipped: the disk is full\n"
              "pelagrin: a piece of work on the app thread failed and was skipped\n");
}

} // namespace
} // namespace pelagrin
