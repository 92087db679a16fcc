// ServerHarness: a LocalServer on a test's own io_context, a listener that records what it hears, and clients
// that talk to it as a browser does.
#pragma once

#include "app/server/LocalServer.hpp"

// clang-format off
#include <utility> // first: Asio's awaitable uses std::exchange without including <utility>
// clang-format on

#include <boost/asio/awaitable.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin::test {

using Request = boost::beast::http::request<boost::beast::http::string_body>;
using Response = boost::beast::http::response<boost::beast::http::string_body>;

/// Records what the server tells the app, windows numbered from 1 in the order they opened:
/// "opened 1", "received 1 TEXT", "closed 1".
class RecordingListener : public ConnectionListener {
public:
    void opened(WindowConnection& connection) override;
    void received(WindowConnection& connection, std::string_view text) override;
    void closed(WindowConnection& connection) override;

    /// The connection of window `number`, while it is open.
    WindowConnection& window(int number) { return *windows_.at(number - 1); }
    bool has(const std::string& event) const;

    std::vector<std::string> events;
    /// Called after a message is recorded, for a test that reacts to it.
    std::function<void(WindowConnection&, std::string_view)> onReceived;

private:
    int numberOf(WindowConnection& connection) const;

    std::vector<WindowConnection*> windows_;
};

/// The server under test and the one thread, the test's, that runs its context: the test calls the server and
/// the window connections directly between runs, as the app does on its thread.
class ServerHarness {
public:
    static constexpr std::string_view token = "00112233445566778899aabbccddeeff";

    /// A server of `webRoot` on a free port.
    explicit ServerHarness(std::filesystem::path webRoot = {});
    ~ServerHarness();

    boost::asio::io_context& context() { return context_; }
    LocalServer& server() { return *server_; }
    /// Destroys the server, as the app does at exit.
    void destroyServer() { server_.reset(); }
    std::uint16_t port() const { return port_; }
    /// "127.0.0.1:PORT", the Host the server's own page sends.
    std::string host() const;
    /// "http://127.0.0.1:PORT", the Origin the server's own page sends.
    std::string origin() const;

    /// A request as the server's own page sends it: its Host and the token cookie.
    Request pageRequest(std::string target,
                        boost::beast::http::verb method = boost::beast::http::verb::get) const;

    /// Sends `requests` on one connection, one after another, and returns the responses.
    std::vector<Response> exchange(std::vector<Request> requests);
    Response fetch(Request request) { return std::move(exchange({std::move(request)}).front()); }
    /// Sends `bytes` as they are and returns the one response.
    Response fetchRaw(std::string bytes);
    /// Whether a new connection to the port is refused.
    bool refusesConnections();

    /// Runs the context until `isDone()`; throws if that does not come within a bound generous enough that
    /// only a hang reaches it.
    void runUntil(const std::function<bool()>& isDone);
    template <class T> T run(boost::asio::awaitable<T> task);
    void run(boost::asio::awaitable<void> task);

    RecordingListener listener;

private:
    boost::asio::io_context context_;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work_;
    std::unique_ptr<LocalServer> server_;
    std::uint16_t port_;
};

/// A browser window's WebSocket to the harness's server.
class TestWindow {
public:
    /// The upgrade request's headers; by default those of the server's own page.
    struct Upgrade {
        std::string host;
        std::string target = "/ws";
        std::optional<std::string> origin;
        std::optional<std::string> cookie;
    };
    struct Message {
        bool isText = true;
        std::string bytes;
    };
    /// How the socket ended: the messages read before, and the close code if the server sent a close frame.
    struct Ending {
        std::vector<Message> messages;
        std::optional<boost::beast::websocket::close_code> closeCode;
    };

    explicit TestWindow(ServerHarness& harness) : harness_(harness), ws_(harness.context()) {}

    Upgrade ownUpgrade() const;
    /// Asks for the WebSocket; the server's answer, 101 when it opened.
    boost::beast::http::status open(const Upgrade& upgrade);
    /// Opens as the server's own page does; throws unless it opened.
    void open();

    void write(std::string text);
    void writeBinary(std::string bytes);
    Message read();
    /// Reads until the socket ends.
    Ending readToEnd();
    /// Closes from the browser's side, with the close handshake.
    void close();

private:
    boost::asio::awaitable<boost::beast::http::status> openAsync(Upgrade upgrade);
    boost::asio::awaitable<void> writeAsync(std::string bytes, bool isText);
    boost::asio::awaitable<Message> readAsync();
    boost::asio::awaitable<Ending> readToEndAsync();
    boost::asio::awaitable<void> closeAsync();

    ServerHarness& harness_;
    boost::beast::websocket::stream<boost::beast::tcp_stream> ws_;
};

template <class T> T ServerHarness::run(boost::asio::awaitable<T> task) {
    std::optional<T> result;
    std::exception_ptr failure;
    boost::asio::co_spawn(context_, std::move(task), [&](std::exception_ptr error, T value) {
        failure = error;
        result = std::move(value);
    });
    runUntil([&] { return result.has_value(); });
    if (failure) {
        std::rethrow_exception(failure);
    }
    return std::move(*result);
}

} // namespace pelagrin::test
