// ServerHarness: a LocalServer on a test's own io_context, a listener that records what it hears, and clients
// that talk to it as a browser does. The test's thread runs the context between its direct calls to the
// server, as the app thread does.
#pragma once

#include "app/server/LocalServer.hpp"

// clang-format off
#include <utility> // first: Asio's awaitable uses std::exchange without including <utility>
// clang-format on

#include <algorithm>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/buffer.hpp>
#include <boost/asio/co_spawn.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelagrin::test {

namespace asio = boost::asio;
namespace beast = boost::beast;
using Request = beast::http::request<beast::http::string_body>;
using Response = beast::http::response<beast::http::string_body>;
using asio::use_awaitable;

inline asio::ip::tcp::endpoint loopback(std::uint16_t port) {
    return {asio::ip::address_v4::loopback(), port};
}

/// Records "opened N", "received N TEXT" and "closed N", windows numbered from 1 in the order they opened.
class RecordingListener : public ConnectionListener {
public:
    void opened(WindowConnection& connection) override {
        windows_.push_back(&connection);
        events.push_back("opened " + std::to_string(windows_.size()));
    }
    void received(WindowConnection& connection, std::string_view text) override {
        events.push_back("received " + std::to_string(numberOf(connection)) + " " + std::string(text));
        if (onReceived) {
            onReceived(connection, text);
        }
    }
    void closed(WindowConnection& connection) override {
        const int number = numberOf(connection);
        events.push_back("closed " + std::to_string(number));
        windows_[number - 1] = nullptr;
    }
    WindowConnection& window(int number) { return *windows_.at(number - 1); }
    bool has(const std::string& event) const { return std::ranges::find(events, event) != events.end(); }

    std::vector<std::string> events;
    std::function<void(WindowConnection&, std::string_view)> onReceived;

private:
    int numberOf(WindowConnection& connection) const {
        const auto found = std::ranges::find(windows_, &connection);
        if (found == windows_.end()) {
            throw std::logic_error("the server reported a connection it never opened, or one already closed");
        }
        return static_cast<int>(found - windows_.begin()) + 1;
    }
    std::vector<WindowConnection*> windows_;
};

class ServerHarness {
public:
    static constexpr std::string_view token = "00112233445566778899aabbccddeeff";

    explicit ServerHarness(std::filesystem::path webRoot = {})
        : work_(asio::make_work_guard(context_)),
          server_(std::make_unique<LocalServer>(
              context_, LocalServer::Options{std::move(webRoot), 0, std::string(token)}, listener)),
          port_(server_->port()) {}

    asio::io_context& context() { return context_; }
    LocalServer& server() { return *server_; }
    void destroyServer() { server_.reset(); }
    std::uint16_t port() const { return port_; }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string origin() const { return "http://" + host(); }

    /// A request as the server's own page sends it: its Host and the token cookie.
    Request pageRequest(std::string target, beast::http::verb method = beast::http::verb::get) const {
        Request request(method, target, 11);
        request.set(beast::http::field::host, host());
        request.set(beast::http::field::cookie, "pelagrin_token=" + std::string(token));
        return request;
    }

    /// Sends `requests` on one connection, one after another.
    std::vector<Response> exchange(std::vector<Request> requests) {
        return run(exchangeAsync(port_, requests));
    }
    Response fetch(Request request) { return std::move(exchange({std::move(request)}).front()); }
    Response fetchRaw(std::string bytes) { return run(fetchRawAsync(port_, std::move(bytes))); }
    bool refusesConnections() { return run(refusesAsync(port_)); }

    /// Runs the context until `isDone()`; throws after a bound that only a hang reaches.
    void runUntil(const std::function<bool()>& isDone) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!isDone()) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("the awaited event never came: the server or the client hangs");
            }
            context_.run_one_for(std::chrono::milliseconds(50));
        }
    }

    template <class T> T run(asio::awaitable<T> task) {
        std::optional<T> result;
        std::exception_ptr failure;
        asio::co_spawn(context_, std::move(task), [&](std::exception_ptr error, T value) {
            failure = error;
            result = std::move(value);
        });
        runUntil([&] { return result.has_value(); });
        if (failure) {
            std::rethrow_exception(failure);
        }
        return std::move(*result);
    }

    RecordingListener listener;

private:
    static asio::awaitable<Response> readResponse(beast::tcp_stream& stream, beast::flat_buffer& buffer,
                                                  bool isHead) {
        beast::http::response_parser<beast::http::string_body> parser;
        parser.skip(isHead); // a response to HEAD announces a body it does not carry
        co_await beast::http::async_read(stream, buffer, parser, use_awaitable);
        co_return parser.release();
    }
    static asio::awaitable<std::vector<Response>> exchangeAsync(std::uint16_t port,
                                                                std::vector<Request> requests) {
        beast::tcp_stream stream(co_await asio::this_coro::executor);
        co_await stream.async_connect(loopback(port), use_awaitable);
        beast::flat_buffer buffer;
        std::vector<Response> responses;
        for (Request& request : requests) {
            request.prepare_payload();
            co_await beast::http::async_write(stream, request, use_awaitable);
            responses.push_back(
                co_await readResponse(stream, buffer, request.method() == beast::http::verb::head));
        }
        co_return responses;
    }
    static asio::awaitable<Response> fetchRawAsync(std::uint16_t port, std::string bytes) {
        beast::tcp_stream stream(co_await asio::this_coro::executor);
        co_await stream.async_connect(loopback(port), use_awaitable);
        co_await asio::async_write(stream, asio::buffer(bytes), use_awaitable);
        beast::flat_buffer buffer;
        co_return co_await readResponse(stream, buffer, false);
    }
    static asio::awaitable<bool> refusesAsync(std::uint16_t port) {
        asio::ip::tcp::socket socket(co_await asio::this_coro::executor);
        boost::system::error_code error;
        co_await socket.async_connect(loopback(port), asio::redirect_error(use_awaitable, error));
        co_return error == asio::error::connection_refused;
    }

    asio::io_context context_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    std::unique_ptr<LocalServer> server_;
    std::uint16_t port_;
};

/// A browser window's WebSocket to the harness's server.
class TestWindow {
public:
    /// The upgrade request's headers; `ownUpgrade()` gives those of the server's own page.
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
    /// The messages read before the socket ended, and the close code if the server sent a close frame.
    struct Ending {
        std::vector<Message> messages;
        std::optional<beast::websocket::close_code> closeCode;
    };

    explicit TestWindow(ServerHarness& harness) : harness_(harness), ws_(harness.context()) {}

    Upgrade ownUpgrade() const {
        return {harness_.host(), "/ws", harness_.origin(),
                "pelagrin_token=" + std::string(ServerHarness::token)};
    }
    beast::http::status open(const Upgrade& upgrade) { return harness_.run(openAsync(upgrade)); }
    void open() {
        if (open(ownUpgrade()) != beast::http::status::switching_protocols) {
            throw std::runtime_error("the server refused its own page's WebSocket");
        }
    }
    void write(std::string text, bool isText = true) { harness_.run(writeAsync(std::move(text), isText)); }
    Message read() { return harness_.run(readAsync()); }
    Ending readToEnd() { return harness_.run(readToEndAsync()); }
    void close() { harness_.run(closeAsync()); }

private:
    asio::awaitable<beast::http::status> openAsync(Upgrade upgrade) {
        co_await beast::get_lowest_layer(ws_).async_connect(loopback(harness_.port()), use_awaitable);
        ws_.set_option(
            beast::websocket::stream_base::decorator([upgrade](beast::websocket::request_type& request) {
                if (upgrade.origin) {
                    request.set(beast::http::field::origin, *upgrade.origin);
                }
                if (upgrade.cookie) {
                    request.set(beast::http::field::cookie, *upgrade.cookie);
                }
            }));
        beast::websocket::response_type response;
        boost::system::error_code error;
        co_await ws_.async_handshake(response, upgrade.host, upgrade.target,
                                     asio::redirect_error(use_awaitable, error));
        co_return response.result();
    }
    asio::awaitable<bool> writeAsync(std::string bytes, bool isText) {
        ws_.text(isText);
        co_await ws_.async_write(asio::buffer(bytes), use_awaitable);
        co_return true;
    }
    asio::awaitable<Message> readAsync() {
        beast::flat_buffer buffer;
        co_await ws_.async_read(buffer, use_awaitable);
        co_return Message{ws_.got_text(), beast::buffers_to_string(buffer.data())};
    }
    asio::awaitable<Ending> readToEndAsync() {
        Ending ending;
        for (;;) {
            beast::flat_buffer buffer;
            boost::system::error_code error;
            co_await ws_.async_read(buffer, asio::redirect_error(use_awaitable, error));
            if (error == beast::websocket::error::closed) {
                ending.closeCode = static_cast<beast::websocket::close_code>(ws_.reason().code);
            }
            if (error) {
                co_return ending;
            }
            ending.messages.push_back(Message{ws_.got_text(), beast::buffers_to_string(buffer.data())});
        }
    }
    asio::awaitable<bool> closeAsync() {
        co_await ws_.async_close(beast::websocket::close_code::normal, use_awaitable);
        co_return true;
    }

    ServerHarness& harness_;
    beast::websocket::stream<beast::tcp_stream> ws_;
};

} // namespace pelagrin::test
