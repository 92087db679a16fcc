// FakeOverpassServer: a one-reply HTTP server on 127.0.0.1 that stands in for the Overpass API in tests.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelagrin::testing {

/// How the server answers every request it reads.
struct FakeReply {
    enum class Framing {
        complete,     // status line, Content-Length and the whole body
        cutShort,     // Content-Length larger than the body, then the connection closes
        untilClose,   // no Content-Length: the body ends where the connection closes
        neverAnswers, // reads the request and keeps the connection open, silent, until the server stops
        endless,      // no Content-Length: the body again and again until the peer closes or the server stops
    };
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    Framing framing = Framing::complete;
};

/// Listens on an ephemeral port of 127.0.0.1 from construction to destruction, answering each connection in
/// turn.
class FakeOverpassServer {
public:
    explicit FakeOverpassServer(FakeReply reply);
    ~FakeOverpassServer();
    FakeOverpassServer(const FakeOverpassServer&) = delete;
    FakeOverpassServer& operator=(const FakeOverpassServer&) = delete;

    /// "http://127.0.0.1:PORT", the base URL to configure.
    std::string baseUrl() const;
    /// The request lines received so far ("GET /api/interpreter?data=... HTTP/1.1").
    std::vector<std::string> requestLines() const;

private:
    void serve();
    void answer(int connection);

    FakeReply reply_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> isStopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requestLines_;
    std::thread thread_;
};

/// A port of 127.0.0.1 that is bound but not listening, so that connecting to it is refused, for its
/// lifetime.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    /// "http://127.0.0.1:PORT".
    std::string baseUrl() const;

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace pelagrin::testing
