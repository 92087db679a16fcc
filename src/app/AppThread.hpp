// AppThread: the app's driver of the user-interface event loop.
#pragma once

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <iostream>
#include <ostream>
#include <utility>

namespace pelagrin {

/// Runs an event loop on the thread that calls `run()`; that thread is then the app thread, on which every
/// model object, the controller, the data store and every window's state live. Other threads hand work over
/// with `post`, which is safe from anywhere.
class AppThread {
public:
    /// The app thread of the process, driving `userInterfaceContext()`.
    static AppThread& shared();

    /// Drives `context`, which must outlive this object; what fails on the app thread is told to
    /// `diagnostics`.
    explicit AppThread(boost::asio::io_context& context, std::ostream& diagnostics = std::cerr)
        : context_(context), diagnostics_(diagnostics) {}

    /// For timers and for the objects that live on the app thread.
    boost::asio::any_io_executor executor() const { return context_.get_executor(); }

    /// Runs `work` on the app thread, after the work already queued; returns at once.
    template <class Work> void post(Work&& work) { boost::asio::post(context_, std::forward<Work>(work)); }

    /// Makes the calling thread the app thread and runs work until `stop()`, even while none is queued. A
    /// piece of work that throws is abandoned with a line on the diagnostics, and the loop goes on.
    void run();
    /// Makes `run()` return once the piece of work in progress is done; callable from any thread.
    void stop() { context_.stop(); }

    /// Whether the calling thread is the app thread (inside `run()`).
    bool isCurrent() const { return context_.get_executor().running_in_this_thread(); }

private:
    boost::asio::io_context& context_;
    std::ostream& diagnostics_;
};

} // namespace pelagrin
