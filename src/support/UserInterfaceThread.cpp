// UserInterfaceThread: the process-wide event loop, made on first use.
#include "support/UserInterfaceThread.hpp"

namespace pelagrin {

boost::asio::io_context& userInterfaceContext() {
    // One thread runs it; any thread may post to it.
    static boost::asio::io_context context{1};
    return context;
}

} // namespace pelagrin
