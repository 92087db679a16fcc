// AcceptLoop: the listening socket on 127.0.0.1 and the loop that hands each accepted connection to a
// session.
#include "app/server/AcceptLoop.hpp"

#include "app/server/HttpSession.hpp"

#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

namespace pelagrin {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// After a failed accept (out of file descriptors, say), a pause, so that the loop does not spin on the app
// thread while the failure lasts.
constexpr std::chrono::milliseconds acceptRetryDelay{100};

} // namespace

AcceptLoop::AcceptLoop(asio::io_context& context, std::uint16_t port) : acceptor_(context), retry_(context) {
    const tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
    try {
        acceptor_.open(endpoint.protocol());
        // A port of an earlier launch still in TIME_WAIT can be taken again; a listening one cannot.
        acceptor_.set_option(tcp::acceptor::reuse_address(true));
        acceptor_.bind(endpoint);
        acceptor_.listen(asio::socket_base::max_listen_connections);
        port_ = acceptor_.local_endpoint().port();
    } catch (const boost::system::system_error& failure) {
        throw std::system_error(failure.code(), "cannot listen on 127.0.0.1:" + std::to_string(port));
    }
}

void AcceptLoop::start(std::shared_ptr<ServerState> state) {
    state_ = std::move(state);
    acceptNext();
}

void AcceptLoop::stop() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    retry_.cancel();
}

void AcceptLoop::acceptNext() {
    acceptor_.async_accept([self = shared_from_this()](boost::system::error_code error, tcp::socket socket) {
        self->onAccepted(error, std::move(socket));
    });
}

void AcceptLoop::onAccepted(boost::system::error_code error, tcp::socket socket) {
    if (!acceptor_.is_open()) {
        return; // stopped; a connection accepted just before is dropped with its socket
    }
    if (error) {
        retry_.expires_after(acceptRetryDelay);
        retry_.async_wait([self = shared_from_this()](boost::system::error_code waitError) {
            if (!waitError && self->acceptor_.is_open()) {
                self->acceptNext();
            }
        });
        return;
    }
    try {
        const auto session = std::make_shared<HttpSession>(std::move(socket), state_);
        state_->track(session);
        session->start();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pelagrin: the local server dropped a connection: %s\n", failure.what());
    }
    acceptNext();
}

} // namespace pelagrin
