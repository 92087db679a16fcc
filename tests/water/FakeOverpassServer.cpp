// FakeOverpassServer: a one-reply HTTP server on 127.0.0.1 that stands in for the Overpass API in tests.
#include "tests/water/FakeOverpassServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace pelagrin::testing {

namespace {

constexpr int pollIntervalMs = 20;

// A socket bound to an ephemeral port of 127.0.0.1; returns the port through `port`.
int bindLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot bind a loopback socket");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits until `fd` is readable or `isStopping` is set; true when readable.
bool waitReadable(int fd, const std::atomic<bool>& isStopping) {
    while (!isStopping) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, pollIntervalMs) > 0) {
            return true;
        }
    }
    return false;
}

// False when the peer is gone.
bool sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

FakeOverpassServer::FakeOverpassServer(FakeReply reply) : reply_(std::move(reply)) {
    listener_ = bindLoopback(port_);
    if (::listen(listener_, 8) != 0) {
        throw std::runtime_error("cannot listen on a loopback socket");
    }
    thread_ = std::thread([this] { serve(); });
}

FakeOverpassServer::~FakeOverpassServer() {
    isStopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string FakeOverpassServer::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> FakeOverpassServer::requestLines() const {
    const std::lock_guard lock(mutex_);
    return requestLines_;
}

void FakeOverpassServer::serve() {
    while (waitReadable(listener_, isStopping_)) {
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection >= 0) {
            answer(connection);
            ::close(connection);
        }
    }
}

void FakeOverpassServer::answer(int connection) {
    std::string request;
    char chunk[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (!waitReadable(connection, isStopping_)) {
            return;
        }
        const ssize_t n = ::recv(connection, chunk, sizeof(chunk), 0);
        if (n <= 0) {
            return;
        }
        request.append(chunk, static_cast<std::size_t>(n));
    }
    {
        const std::lock_guard lock(mutex_);
        requestLines_.push_back(request.substr(0, request.find("\r\n")));
    }

    if (reply_.framing == FakeReply::Framing::neverAnswers) {
        // Silent until the peer gives up and closes, or the server stops.
        while (waitReadable(connection, isStopping_) && ::recv(connection, chunk, sizeof(chunk), 0) > 0) {
        }
        return;
    }
    // Clients read the status code only, so one reason phrase does for all.
    std::string head = "HTTP/1.1 " + std::to_string(reply_.status) +
                       " Fake\r\nContent-Type: " + reply_.contentType + "\r\nConnection: close\r\n";
    const bool isOpenEnded =
        reply_.framing == FakeReply::Framing::untilClose || reply_.framing == FakeReply::Framing::endless;
    if (!isOpenEnded) {
        const std::size_t missing = reply_.framing == FakeReply::Framing::cutShort ? 100 : 0;
        head += "Content-Length: " + std::to_string(reply_.body.size() + missing) + "\r\n";
    }
    bool isPeerThere = sendAll(connection, head + "\r\n" + reply_.body);
    while (reply_.framing == FakeReply::Framing::endless && isPeerThere && !isStopping_) {
        isPeerThere = sendAll(connection, reply_.body);
    }
}

RefusingPort::RefusingPort() {
    socket_ = bindLoopback(port_);
}

RefusingPort::~RefusingPort() {
    ::close(socket_);
}

std::string RefusingPort::baseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

} // namespace pelagrin::testing
