// LocalServer: the app's HTTP and WebSocket server on 127.0.0.1, which serves the user interface to the
// browser.
#include "app/server/LocalServer.hpp"

#include "app/server/AcceptLoop.hpp"
#include "app/server/ServerState.hpp"

#include <array>
#include <cerrno>
#include <sys/random.h>
#include <system_error>

namespace pelagrin {

LocalServer::LocalServer(boost::asio::io_context& context, Options options, ConnectionListener& listener)
    : token_(options.token.empty() ? randomToken() : std::move(options.token)),
      acceptLoop_(std::make_shared<AcceptLoop>(context, options.port)) {
    port_ = acceptLoop_->port();
    state_ = std::make_shared<ServerState>(RequestGuard(token_, port_),
                                           StaticFiles(std::move(options.webRoot)), listener);
    acceptLoop_->start(state_);
}

LocalServer::~LocalServer() {
    acceptLoop_->stop();
    state_->stop(false);
}

std::string LocalServer::url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

void LocalServer::stop() {
    acceptLoop_->stop();
    state_->stop(true);
}

std::string LocalServer::randomToken() {
    std::array<unsigned char, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n < 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "cannot read the system's random source");
        }
        filled += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    constexpr std::string_view digits = "0123456789abcdef";
    std::string token;
    for (const unsigned char byte : bytes) {
        token += digits[byte >> 4];
        token += digits[byte & 0x0f];
    }
    return token;
}

} // namespace pelagrin
