// The instance socket: a later launch hands its files to the running app; what it may not send is refused.
#include "app/InstanceListener.hpp"
#include "app/InstanceSocket.hpp"
#include "app/RunningInstance.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/write.hpp>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace pelagrin::test {
namespace {

using Protocol = boost::asio::local::stream_protocol;

// A listener on a context of its own, run on a thread of its own, as the app thread would run it.
class InstanceSocket : public ::testing::Test {
protected:
    void listen() {
        listener.emplace(context, socket, [this](std::vector<std::filesystem::path> files) {
            opened.push_back(std::move(files));
        });
        thread = std::thread([this] { context.run(); });
    }
    // The listener goes on its own thread, as the app ends it; the thread then runs out of work.
    void stop() {
        boost::asio::post(context, [this] { listener.reset(); });
        work.reset();
        if (thread.joinable()) {
            thread.join();
        }
    }
    void TearDown() override { stop(); }

    // Sends `bytes` as they are and returns the answer line.
    std::string sendRaw(const std::string& bytes) {
        boost::asio::io_context client;
        Protocol::socket peer(client);
        peer.connect(Protocol::endpoint(socket.string()));
        boost::system::error_code ignored;
        boost::asio::write(peer, boost::asio::buffer(bytes), ignored);
        std::string answer;
        boost::asio::read_until(peer, boost::asio::dynamic_buffer(answer), '\n', ignored);
        return answer;
    }

    TemporaryFolder folder;
    std::filesystem::path socket = folder / "pelagrin.socket";
    boost::asio::io_context context;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work{context.get_executor()};
    std::optional<InstanceListener> listener;
    std::thread thread;
    std::vector<std::vector<std::filesystem::path>> opened; // read only after the handover returned
};

TEST_F(InstanceSocket, ALaterLaunchHandsItsFilesOverThroughAPrivateSocketLeftStaleByAKilledOne) {
    // What a killed launch leaves: a socket file nobody listens at.
    {
        boost::asio::io_context stale;
        Protocol::acceptor acceptor(stale, Protocol::endpoint(socket.string()));
    }
    ASSERT_TRUE(std::filesystem::exists(socket));
    EXPECT_EQ(handToRunningInstance(socket, {"/p/a.pelagrinproj"}), Handover::noInstance);

    listen();
    struct stat status {};
    ASSERT_EQ(::stat(socket.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::vector<std::filesystem::path> files{"/p/a.pelagrinproj", "/p/b\xff.pelagrinproj"};
    EXPECT_EQ(handToRunningInstance(socket, files), Handover::accepted);
    EXPECT_EQ(handToRunningInstance(socket, {}), Handover::accepted);
    EXPECT_EQ(opened, (std::vector<std::vector<std::filesystem::path>>{files, {}}));
    EXPECT_THROW(InstanceListener(context, socket, [](auto) {}), std::runtime_error);

    stop();
    EXPECT_FALSE(std::filesystem::exists(socket));
}

TEST_F(InstanceSocket, ABadRequestIsAnsweredWithWhyAndOpensNothing) {
    listen();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"not json\n", "the request is not a JSON object\n"},
        {R"({"open": "/a.pelagrinproj"})"
         "\n",
         "\"open\" must be a list of paths\n"},
        {R"({"open": ["a.pelagrinproj"]})"
         "\n",
         "\"open\" must hold absolute paths only\n"},
        {std::string(maxOpenRequestBytes + 1, ' '), "the request is longer than 1 MiB\n"},
    };
    for (const auto& [request, answer] : cases) {
        EXPECT_EQ(sendRaw(request), answer);
    }
    EXPECT_TRUE(opened.empty());
}

} // namespace
} // namespace pelagrin::test
