// RunningInstance: a blocking client of the instance socket, with a deadline, run before the app starts.
#include "app/RunningInstance.hpp"

#include "app/InstanceSocket.hpp"

#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace pelagrin {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("the running Pelagrin " + what);
}

// Waits until `fd` is ready for `events` or the deadline passes.
void await(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (ready > 0) {
            return;
        }
        if (ready == 0) {
            fail("did not answer in time; if it hangs, end it and start Pelagrin again");
        }
        if (errno != EINTR) {
            fail(std::string("could not be reached: ") + std::strerror(errno));
        }
    }
}

// A socket connected (or connecting) to `socket`; absent when nobody listens there.
std::optional<Descriptor> connectTo(const std::filesystem::path& socket) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.native().size() >= sizeof(address.sun_path)) {
        throw std::runtime_error("the socket path " + socket.string() + " is too long");
    }
    std::memcpy(address.sun_path, socket.c_str(), socket.native().size());
    std::optional<Descriptor> fd(std::in_place,
                                 ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd->get() < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot make a socket");
    }
    // A local connect completes at once or not at all: refused or missing means nobody listens.
    if (::connect(fd->get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        if (errno == ECONNREFUSED || errno == ENOENT) {
            return std::nullopt;
        }
        if (errno != EAGAIN) {
            fail(std::string("could not be reached: ") + std::strerror(errno));
        }
    }
    return fd;
}

} // namespace

bool isInstanceListening(const std::filesystem::path& socket) {
    return connectTo(socket).has_value();
}

Handover handToRunningInstance(const std::filesystem::path& socket,
                               const std::vector<std::filesystem::path>& files,
                               std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::optional<Descriptor> connection = connectTo(socket);
    if (!connection) {
        return Handover::noInstance;
    }
    const Descriptor& fd = *connection;
    const std::string request = encodeOpenRequest(files);
    if (request.size() > maxOpenRequestBytes) {
        throw std::runtime_error("too many files at once: the list may take " +
                                 describeByteSize(maxOpenRequestBytes));
    }
    for (std::size_t sent = 0; sent < request.size();) {
        await(fd.get(), POLLOUT, deadline);
        const ssize_t n = ::send(fd.get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            fail(std::string("closed the connection: ") + std::strerror(errno));
        }
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    // The answer: "ok", or a sentence saying why the request was refused, on one line.
    std::string answer;
    while (answer.find('\n') == std::string::npos && answer.size() < 4096) {
        await(fd.get(), POLLIN, deadline);
        char chunk[512];
        const ssize_t n = ::recv(fd.get(), chunk, sizeof(chunk), 0);
        if (n == 0) {
            break;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            fail(std::string("closed the connection: ") + std::strerror(errno));
        }
        answer.append(chunk, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    answer = answer.substr(0, answer.find('\n'));
    if (answer != "ok") {
        fail("refused the files: " + (answer.empty() ? std::string("no answer") : answer));
    }
    return Handover::accepted;
}

} // namespace pelagrin
