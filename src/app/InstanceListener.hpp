// InstanceListener: the running Pelagrin's end of the instance socket, where later launches hand their files.
#pragma once

#include <boost/asio/io_context.hpp>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace pelagrin {

/// Listens on a Unix socket for the requests of `handToRunningInstance`, on the io_context it is given (the
/// app thread), never blocking it. Only this user's processes are heard: the socket file is mode 0600 and
/// every peer's uid is checked. Each request is read within `maxOpenRequestBytes` and 5 s, then answered "ok"
/// after `openFiles` took its files, or with why it was refused.
class InstanceListener {
public:
    using OpenFiles = std::function<void(std::vector<std::filesystem::path>)>;

    /// Listens at `socket`, replacing a socket file that nobody listens at any more. Throws
    /// std::runtime_error with a message for the user when another instance listens there or the socket
    /// cannot be made.
    InstanceListener(boost::asio::io_context& context, std::filesystem::path socket, OpenFiles openFiles);
    /// Stops listening and removes the socket file, so that the next launch starts afresh.
    ~InstanceListener();
    InstanceListener(const InstanceListener&) = delete;
    InstanceListener& operator=(const InstanceListener&) = delete;

private:
    struct State;
    class Request;
    void accept();

    std::filesystem::path socket_;
    std::shared_ptr<State> state_;
};

} // namespace pelagrin
