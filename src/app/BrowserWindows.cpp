// BrowserWindows: socket lifecycle, intent dispatch and the coalesced, key-by-key state updates.
#include "app/BrowserWindows.hpp"

#include "app/AppEnvironment.hpp"
#include "app/Intent.hpp"
#include "app/MainWindow.hpp"
#include "app/StateMessage.hpp"
#include "app/simulation/ParticleFrame.hpp"
#include "app/simulation/SimulationRendererScreen.hpp"

#include <boost/asio/post.hpp>
#include <exception>

namespace pelagrin {
namespace {

void sendError(WindowConnection& connection, const std::string& intent, const std::string& message) {
    connection.sendText(
        messageText(nlohmann::json{{"type", "error"}, {"intent", intent}, {"message", message}}));
}

} // namespace

struct BrowserWindows::Window {
    Window(AppEnvironment& environment, int number) : model(environment, number) {}

    MainWindow model;
    /// What the page has been sent, by top-level key; empty until the first state message.
    nlohmann::json sent = nlohmann::json::object();
    /// The particle frame the page has been sent since it last began to show the renderer.
    struct SentFrame {
        std::uint32_t frameNumber;
        double waterDepthM;
        bool operator==(const SentFrame&) const = default;
    };
    std::optional<SentFrame> frameSent;
};

BrowserWindows::BrowserWindows(AppEnvironment& environment, std::ostream& diagnostics)
    : environment_(environment), diagnostics_(diagnostics) {
    framePublished_ = environment_.controller.displayParticles.subscribe([this](const auto&) {
        ++framesPublished_;
        refresh();
    });
}

BrowserWindows::~BrowserWindows() = default;

void BrowserWindows::opened(WindowConnection& connection) {
    const int number = ++windowsOpened_;
    auto window = std::make_unique<Window>(environment_, number);
    Window& added = *window;
    windows_.emplace(&connection, std::move(window));
    connection.sendText(
        messageText(nlohmann::json{{"type", "hello"}, {"protocol", protocolVersion}, {"window", number}}));
    std::optional<std::filesystem::path> file;
    if (!filesForNextWindows_.empty()) {
        file = std::move(filesForNextWindows_.front());
        filesForNextWindows_.pop_front();
    }
    added.model.shown(file);
    refresh();
}

void BrowserWindows::received(WindowConnection& connection, std::string_view text) {
    const auto window = windows_.find(&connection);
    if (window == windows_.end()) {
        return;
    }
    std::string name;
    try {
        nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
        if (message.is_discarded()) {
            throw IntentError("an intent must be valid JSON");
        }
        const Intent intent(std::move(message));
        name = intent.name();
        window->second->model.handle(intent);
    } catch (const IntentError& error) {
        sendError(connection, name, error.what());
    } catch (const std::exception& error) {
        // A fault of the app's own, not of the intent: the window hears of it and the app goes on.
        diagnostics_ << "pelagrin: the intent \"" << name << "\" failed: " << error.what() << std::endl;
        sendError(connection, name, name + " failed: " + error.what());
    }
    // An intent may change every window (a notification reaches them all), so all are compared.
    refresh();
}

void BrowserWindows::closed(WindowConnection& connection) {
    if (const auto window = windows_.find(&connection); window != windows_.end()) {
        window->second->model.closedByBrowser();
    }
    windows_.erase(&connection);
}

void BrowserWindows::refresh() {
    if (isRefreshPending_) {
        return;
    }
    isRefreshPending_ = true;
    boost::asio::post(environment_.executor, [this, alive = std::weak_ptr<char>(lifetime_)] {
        if (alive.lock()) {
            sendChanges();
        }
    });
}

void BrowserWindows::sendChanges() {
    isRefreshPending_ = false;
    for (auto& [connection, window] : windows_) {
        nlohmann::json state = window->model.state();
        if (const auto message = stateMessage(window->sent, state)) {
            window->sent = std::move(state);
            connection->sendText(messageText(*message));
        }
    }
    sendFrames();
}

void BrowserWindows::sendFrames() {
    for (auto& [connection, window] : windows_) {
        const Project* project = window->model.rendererProject();
        if (project == nullptr) {
            // Showing the renderer again redraws the latest snapshot at once, not at the next one.
            window->frameSent.reset();
            continue;
        }
        const Window::SentFrame frame{framesPublished_, depthScale(*project)};
        if (window->frameSent != frame) {
            connection->sendBinary(latestFrame(frame.waterDepthM));
            window->frameSent = frame;
        }
    }
}

std::string BrowserWindows::latestFrame(double waterDepthM) {
    if (encodedFrameNumber_ != framesPublished_) {
        const SimulationController& controller = environment_.controller;
        const ParticleFrame header{.frameNumber = framesPublished_,
                                   .time = controller.currentTime,
                                   .totalDuration = controller.totalDuration,
                                   .waterDepth = waterDepthM};
        encodedFrame_ = header.encode(controller.displayParticles.get());
        encodedFrameNumber_ = framesPublished_;
    }
    // Windows of different projects shade against different depths: only the header differs between them.
    std::string frame = encodedFrame_;
    ParticleFrame::setWaterDepth(frame, waterDepthM);
    return frame;
}

} // namespace pelagrin
