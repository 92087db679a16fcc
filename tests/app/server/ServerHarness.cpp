// ServerHarness: a LocalServer on a test's own io_context, a listener that records what it hears, and clients
// that talk to it as a browser does.
#include "tests/app/server/ServerHarness.hpp"

#include <algorithm>
#include <boost/asio/buffer.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/redirect_error.hpp>
#include <boost/asio/use_awaitable.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <chrono>
#include <stdexcept>

namespace pelagrin::test {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using asio::use_awaitable;
using tcp = asio::ip::tcp;

// Only a hang takes this long; every exchange of the tests completes in milliseconds.
constexpr std::chrono::seconds hangBound{20};
constexpr std::chrono::milliseconds pollInterval{50};

tcp::endpoint serverEndpoint(std::uint16_t port) {
    return {asio::ip::address_v4::loopback(), port};
}

asio::awaitable<Response> readResponse(beast::tcp_stream& stream, beast::flat_buffer& buffer, bool isHead) {
    http::response_parser<http::string_body> parser;
    parser.skip(isHead); // a response to HEAD announces a body it does not carry
    co_await http::async_read(stream, buffer, parser, use_awaitable);
    co_return parser.release();
}

asio::awaitable<std::vector<Response>> exchangeAsync(std::uint16_t port, std::vector<Request> requests) {
    beast::tcp_stream stream(co_await asio::this_coro::executor);
    co_await stream.async_connect(serverEndpoint(port), use_awaitable);
    beast::flat_buffer buffer;
    std::vector<Response> responses;
    for (Request& request : requests) {
        request.prepare_payload();
        co_await http::async_write(stream, request, use_awaitable);
        responses.push_back(co_await readResponse(stream, buffer, request.method() == http::verb::head));
    }
    co_return responses;
}

asio::awaitable<Response> fetchRawAsync(std::uint16_t port, std::string bytes) {
    beast::tcp_stream stream(co_await asio::this_coro::executor);
    co_await stream.async_connect(serverEndpoint(port), use_awaitable);
    co_await asio::async_write(stream, asio::buffer(bytes), use_awaitable);
    beast::flat_buffer buffer;
    co_return co_await readResponse(stream, buffer, false);
}

asio::awaitable<bool> refusesConnectionsAsync(std::uint16_t port) {
    tcp::socket socket(co_await asio::this_coro::executor);
    boost::system::error_code error;
    co_await socket.async_connect(serverEndpoint(port), asio::redirect_error(use_awaitable, error));
    co_return error == asio::error::connection_refused;
}

} // namespace

void RecordingListener::opened(WindowConnection& connection) {
    windows_.push_back(&connection);
    events.push_back("opened " + std::to_string(numberOf(connection)));
}

void RecordingListener::received(WindowConnection& connection, std::string_view text) {
    events.push_back("received " + std::to_string(numberOf(connection)) + " " + std::string(text));
    if (onReceived) {
        onReceived(connection, text);
    }
}

void RecordingListener::closed(WindowConnection& connection) {
    const int number = numberOf(connection);
    events.push_back("closed " + std::to_string(number));
    windows_[number - 1] = nullptr;
}

bool RecordingListener::has(const std::string& event) const {
    return std::ranges::find(events, event) != events.end();
}

int RecordingListener::numberOf(WindowConnection& connection) const {
    const auto found = std::ranges::find(windows_, &connection);
    if (found == windows_.end()) {
        throw std::logic_error("the server reported a connection it never opened, or one already closed");
    }
    return static_cast<int>(found - windows_.begin()) + 1;
}

ServerHarness::ServerHarness(std::filesystem::path webRoot)
    : work_(asio::make_work_guard(context_)),
      server_(std::make_unique<LocalServer>(
          context_, LocalServer::Options{std::move(webRoot), 0, std::string(token)}, listener)),
      port_(server_->port()) {}

// Pending completions are destroyed with the context, unrun: none may reach the listener or a test's locals.
ServerHarness::~ServerHarness() = default;

std::string ServerHarness::host() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string ServerHarness::origin() const {
    return "http://" + host();
}

Request ServerHarness::pageRequest(std::string target, http::verb method) const {
    Request request(method, target, 11);
    request.set(http::field::host, host());
    request.set(http::field::cookie, "pelagrin_token=" + std::string(token));
    return request;
}

std::vector<Response> ServerHarness::exchange(std::vector<Request> requests) {
    return run(exchangeAsync(port_, std::move(requests)));
}

Response ServerHarness::fetchRaw(std::string bytes) {
    return run(fetchRawAsync(port_, std::move(bytes)));
}

bool ServerHarness::refusesConnections() {
    return run(refusesConnectionsAsync(port_));
}

void ServerHarness::runUntil(const std::function<bool()>& isDone) {
    const auto deadline = std::chrono::steady_clock::now() + hangBound;
    while (!isDone()) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the awaited event never came: the server or the client hangs");
        }
        context_.run_one_for(pollInterval);
    }
}

void ServerHarness::run(asio::awaitable<void> task) {
    bool isDone = false;
    std::exception_ptr failure;
    asio::co_spawn(context_, std::move(task), [&](std::exception_ptr error) {
        failure = error;
        isDone = true;
    });
    runUntil([&] { return isDone; });
    if (failure) {
        std::rethrow_exception(failure);
    }
}

TestWindow::Upgrade TestWindow::ownUpgrade() const {
    return Upgrade{harness_.host(), "/ws", harness_.origin(),
                   "pelagrin_token=" + std::string(ServerHarness::token)};
}

http::status TestWindow::open(const Upgrade& upgrade) {
    return harness_.run(openAsync(upgrade));
}

void TestWindow::open() {
    if (open(ownUpgrade()) != http::status::switching_protocols) {
        throw std::runtime_error("the server refused its own page's WebSocket");
    }
}

void TestWindow::write(std::string text) {
    harness_.run(writeAsync(std::move(text), true));
}

void TestWindow::writeBinary(std::string bytes) {
    harness_.run(writeAsync(std::move(bytes), false));
}

TestWindow::Message TestWindow::read() {
    return harness_.run(readAsync());
}

TestWindow::Ending TestWindow::readToEnd() {
    return harness_.run(readToEndAsync());
}

void TestWindow::close() {
    harness_.run(closeAsync());
}

asio::awaitable<http::status> TestWindow::openAsync(Upgrade upgrade) {
    co_await beast::get_lowest_layer(ws_).async_connect(serverEndpoint(harness_.port()), use_awaitable);
    ws_.set_option(websocket::stream_base::decorator([upgrade](websocket::request_type& request) {
        if (upgrade.origin) {
            request.set(http::field::origin, *upgrade.origin);
        }
        if (upgrade.cookie) {
            request.set(http::field::cookie, *upgrade.cookie);
        }
    }));
    websocket::response_type response;
    boost::system::error_code error;
    co_await ws_.async_handshake(response, upgrade.host, upgrade.target,
                                 asio::redirect_error(use_awaitable, error));
    co_return response.result();
}

asio::awaitable<void> TestWindow::writeAsync(std::string bytes, bool isText) {
    ws_.text(isText);
    co_await ws_.async_write(asio::buffer(bytes), use_awaitable);
}

asio::awaitable<TestWindow::Message> TestWindow::readAsync() {
    beast::flat_buffer buffer;
    co_await ws_.async_read(buffer, use_awaitable);
    co_return Message{ws_.got_text(), beast::buffers_to_string(buffer.data())};
}

asio::awaitable<TestWindow::Ending> TestWindow::readToEndAsync() {
    Ending ending;
    for (;;) {
        beast::flat_buffer buffer;
        boost::system::error_code error;
        co_await ws_.async_read(buffer, asio::redirect_error(use_awaitable, error));
        if (error == websocket::error::closed) {
            ending.closeCode = static_cast<websocket::close_code>(ws_.reason().code);
        }
        if (error) {
            co_return ending;
        }
        ending.messages.push_back(Message{ws_.got_text(), beast::buffers_to_string(buffer.data())});
    }
}

asio::awaitable<void> TestWindow::closeAsync() {
    co_await ws_.async_close(websocket::close_code::normal, use_awaitable);
}

} // namespace pelagrin::test
