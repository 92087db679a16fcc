// AcceptLoop: the listening socket on 127.0.0.1 and the loop that hands each accepted connection to a
// session.
#pragma once

#include "app/server/ServerState.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cstdint>
#include <memory>

namespace pelagrin {

/// Accepts connections until stopped; each becomes an HTTP session of `state`. Shared, so that an accept
/// that completes after the server is gone finds it alive, and closed.
class AcceptLoop : public std::enable_shared_from_this<AcceptLoop> {
public:
    /// Binds 127.0.0.1:`port` (0: a free one) and listens. Throws std::system_error naming the address.
    AcceptLoop(boost::asio::io_context& context, std::uint16_t port);

    std::uint16_t port() const { return port_; }

    void start(std::shared_ptr<ServerState> state);
    /// Closes the listening socket; no connection is accepted after this.
    void stop();

private:
    void acceptNext();
    void onAccepted(boost::system::error_code error, boost::asio::ip::tcp::socket socket);

    boost::asio::ip::tcp::acceptor acceptor_;
    boost::asio::steady_timer retry_;
    std::uint16_t port_ = 0;
    std::shared_ptr<ServerState> state_;
};

} // namespace pelagrin
