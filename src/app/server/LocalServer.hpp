// LocalServer: the app's HTTP and WebSocket server on 127.0.0.1, which serves the user interface to the
// browser.
#pragma once

#include "app/server/ConnectionListener.hpp"

#include <boost/asio/io_context.hpp>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace pelagrin {

class AcceptLoop;
class ServerState;

/// Serves the files of the built user interface and one WebSocket per browser window, at `/ws`, on the
/// io_context it is given: every completion, and every call to the listener, runs on the thread that runs
/// that context (the app thread), and none of them blocks it. Every request must come from the launch's own
/// page: Host and Origin naming this server, and the token in the query (answered with the token cookie and
/// a redirect to the same address without it) or in the cookie; else 403. See docs/protocol.md, "Connection".
class LocalServer {
public:
    struct Options {
        /// The folder of the built user interface; `/` serves its `index.html`.
        std::filesystem::path webRoot;
        /// The port on 127.0.0.1; 0 for a free one, chosen by the system.
        std::uint16_t port = 0;
        /// The launch's secret; empty for a fresh `randomToken()`.
        std::string token;
    };

    /// Listens on 127.0.0.1 at once, so that `url()` works before the context runs. Throws std::system_error
    /// ("cannot listen on 127.0.0.1:PORT: Address already in use") when the port cannot be had. `listener`
    /// must outlive the server.
    LocalServer(boost::asio::io_context& context, Options options, ConnectionListener& listener);
    /// Closes everything as `stop()` does, but tells the listener nothing: its owner may be half destroyed.
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    /// The port listened on, 1 to 65535.
    std::uint16_t port() const { return port_; }
    /// The address to open: "http://127.0.0.1:PORT/?token=TOKEN".
    std::string url() const;

    /// Closes the listening socket and every connection; each open window is reported `closed` before this
    /// returns. Nothing is accepted after it; a second call does nothing.
    void stop();

    /// 32 hexadecimal digits (128 bits) from the operating system's cryptographic random source. Throws
    /// std::system_error if it cannot be read.
    static std::string randomToken();

private:
    std::string token_;
    std::uint16_t port_;
    std::shared_ptr<AcceptLoop> acceptLoop_;
    std::shared_ptr<ServerState> state_;
};

} // namespace pelagrin
