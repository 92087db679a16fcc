// AppThread: the blocking run of the app's event loop.
#include "app/AppThread.hpp"

#include "support/UserInterfaceThread.hpp"

#include <boost/asio/executor_work_guard.hpp>

namespace pelagrin {

AppThread& AppThread::shared() {
    static AppThread thread(userInterfaceContext());
    return thread;
}

void AppThread::run() {
    // Without the guard the loop would end whenever it ran out of work, for example between two clicks.
    auto guard = boost::asio::make_work_guard(context_);
    context_.restart();
    context_.run();
}

} // namespace pelagrin
