// UserInterfaceThread: the one event loop on which the process's observable state lives.
#pragma once

#include <boost/asio/io_context.hpp>

namespace pelagrin {

/// The event loop of the user-interface thread. Model objects, the controller, the data store and every
/// screen live on it and are touched only by work it runs, one piece at a time, so nothing is locked. The
/// process's driver (the app, or a headless command) runs it; everything else posts work and timers to it.
boost::asio::io_context& userInterfaceContext();

} // namespace pelagrin
