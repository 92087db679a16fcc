// AppThread: the blocking run of the app's event loop.
#include "app/AppThread.hpp"

#include "support/UserInterfaceThread.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <exception>

namespace pelagrin {

AppThread& AppThread::shared() {
    static AppThread thread(userInterfaceContext());
    return thread;
}

void AppThread::run() {
    // Without the guard the loop would end whenever it ran out of work, for example between two clicks.
    auto guard = boost::asio::make_work_guard(context_);
    context_.restart();
    // An exception leaves the loop with the work that threw; the rest is still queued, and running again
    // picks it up, so one failed intent, timer or result costs only itself.
    for (;;) {
        try {
            context_.run();
            return;
        } catch (const std::exception& error) {
            diagnostics_ << "pelagrin: a piece of work on the app thread failed and was skipped: "
                         << error.what() << std::endl;
        } catch (...) {
            diagnostics_ << "pelagrin: a piece of work on the app thread failed and was skipped" << std::endl;
        }
    }
}

} // namespace pelagrin
