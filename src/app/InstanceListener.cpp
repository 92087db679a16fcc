// InstanceListener: binding over a stale socket, checking the peer, and one bounded request per connection.
#include "app/InstanceListener.hpp"

#include "app/InstanceSocket.hpp"
#include "app/RunningInstance.hpp"

#include <boost/asio/local/stream_protocol.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelagrin {
namespace {

using Protocol = boost::asio::local::stream_protocol;

constexpr std::chrono::seconds requestTimeLimit{5};

bool isOwnUser(Protocol::socket& peer) {
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    return ::getsockopt(peer.native_handle(), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

} // namespace

struct InstanceListener::State {
    State(boost::asio::io_context& context, OpenFiles open) : acceptor(context), openFiles(std::move(open)) {}

    Protocol::acceptor acceptor;
    OpenFiles openFiles;
};

// One connection: its request line, read with a deadline, then the one-line answer.
class InstanceListener::Request : public std::enable_shared_from_this<Request> {
public:
    Request(Protocol::socket peer, std::weak_ptr<State> listener)
        : peer_(std::move(peer)), timer_(peer_.get_executor()), listener_(std::move(listener)) {}

    void start() {
        timer_.expires_after(requestTimeLimit);
        timer_.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
            if (!error) {
                boost::system::error_code ignored;
                self->peer_.close(ignored);
            }
        });
        boost::asio::async_read_until(
            peer_, boost::asio::dynamic_buffer(line_, maxOpenRequestBytes), '\n',
            [self = shared_from_this()](const boost::system::error_code& error, std::size_t length) {
                self->read(error, length);
            });
    }

private:
    void read(const boost::system::error_code& error, std::size_t length) {
        if (error == boost::asio::error::not_found) {
            answer("the request is longer than " + describeByteSize(maxOpenRequestBytes));
            return;
        }
        if (error) {
            timer_.cancel();
            return; // the launch went away, took too long or only looked: nothing to answer
        }
        std::vector<std::filesystem::path> files;
        try {
            files = decodeOpenRequest(std::string_view(line_).substr(0, length - 1));
        } catch (const std::invalid_argument& refusal) {
            answer(refusal.what());
            return;
        }
        // A listener that stopped meanwhile opens nothing; the launch then hears no "ok".
        if (const std::shared_ptr<State> listener = listener_.lock()) {
            listener->openFiles(std::move(files));
            answer("ok");
        }
    }

    void answer(std::string text) {
        reply_ = std::move(text) + "\n";
        boost::asio::async_write(peer_, boost::asio::buffer(reply_),
                                 [self = shared_from_this()](const boost::system::error_code&, std::size_t) {
                                     self->timer_.cancel();
                                     boost::system::error_code ignored;
                                     self->peer_.close(ignored);
                                 });
    }

    Protocol::socket peer_;
    boost::asio::steady_timer timer_;
    std::weak_ptr<State> listener_;
    std::string line_;
    std::string reply_;
};

InstanceListener::InstanceListener(boost::asio::io_context& context, std::filesystem::path socket,
                                   OpenFiles openFiles)
    : socket_(std::move(socket)), state_(std::make_shared<State>(context, std::move(openFiles))) {
    // A socket file that nobody answers at is what a launch that was killed left behind.
    if (isInstanceListening(socket_)) {
        throw std::runtime_error("another Pelagrin already listens at " + socket_.string());
    }
    std::error_code ignored;
    std::filesystem::remove(socket_, ignored);

    Protocol::acceptor& acceptor = state_->acceptor;
    boost::system::error_code error;
    acceptor.open(Protocol(), error);
    // Created readable and writable by this user only; the mode is set again in case the umask was ignored.
    const mode_t mask = ::umask(0177);
    if (!error) {
        acceptor.bind(Protocol::endpoint(socket_.string()), error);
    }
    ::umask(mask);
    if (!error && ::chmod(socket_.c_str(), 0600) != 0) {
        error.assign(errno, boost::system::generic_category());
    }
    if (!error) {
        acceptor.listen(Protocol::acceptor::max_listen_connections, error);
    }
    if (error) {
        throw std::runtime_error("cannot listen at " + socket_.string() + ": " + error.message());
    }
    accept();
}

InstanceListener::~InstanceListener() {
    boost::system::error_code ignored;
    state_->acceptor.close(ignored);
    std::error_code alsoIgnored;
    std::filesystem::remove(socket_, alsoIgnored);
}

void InstanceListener::accept() {
    state_->acceptor.async_accept([state = std::weak_ptr<State>(state_),
                                   this](const boost::system::error_code& error, Protocol::socket peer) {
        const std::shared_ptr<State> alive = state.lock();
        if (!alive || error == boost::asio::error::operation_aborted || !alive->acceptor.is_open()) {
            return;
        }
        if (!error && isOwnUser(peer)) {
            std::make_shared<Request>(std::move(peer), alive)->start();
        }
        accept();
    });
}

} // namespace pelagrin
