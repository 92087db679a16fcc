// BackgroundTask: blocking work (reading a file) done off the calling thread, its result handed back to it.
#pragma once

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <exception>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace pelagrin {

/// Runs `work` (returning a Result) on a thread of its own, then `done(result, "")` on `executor`, or
/// `done(Result{}, message)` when `work` threw a std::exception. The executor's context keeps work pending
/// until then. A thread per task, left to itself: a read that never ends (a FIFO nobody writes) holds only
/// its own thread, never the caller nor other tasks.
template <class Work, class Done>
void runInBackground(const boost::asio::any_io_executor& executor, Work work, Done done) {
    using Result = decltype(work());
    auto guard = boost::asio::make_work_guard(executor);
    auto task = [work = std::move(work), done, guard = std::move(guard)]() mutable {
        Result result{};
        std::string failure;
        try {
            result = work();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        boost::asio::post(guard.get_executor(), [done = std::move(done), result = std::move(result),
                                                 failure = std::move(failure)] { done(result, failure); });
        guard.reset();
    };
    try {
        std::thread(std::move(task)).detach();
    } catch (const std::system_error& error) { // no thread to be had: the task fails, the caller goes on
        boost::asio::post(executor, [done = std::move(done), message = std::string(error.what())] {
            done(Result{}, message);
        });
    }
}

} // namespace pelagrin
