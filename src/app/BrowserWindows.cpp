// BrowserWindows: socket lifecycle, intent dispatch and the coalesced, key-by-key state updates.
#include "app/BrowserWindows.hpp"

#include "app/AppEnvironment.hpp"
#include "app/Intent.hpp"
#include "app/MainWindow.hpp"

#include <boost/asio/post.hpp>

namespace pelagrin {

struct BrowserWindows::Window {
    Window(AppEnvironment& environment, int number) : model(environment, number) {}

    MainWindow model;
    /// What the page has been sent, by top-level key; empty until the first state message.
    nlohmann::json sent = nlohmann::json::object();
};

BrowserWindows::BrowserWindows(AppEnvironment& environment) : environment_(environment) {}

BrowserWindows::~BrowserWindows() = default;

void BrowserWindows::opened(WindowConnection& connection) {
    const int number = ++windowsOpened_;
    auto window = std::make_unique<Window>(environment_, number);
    Window& added = *window;
    windows_.emplace(&connection, std::move(window));
    connection.sendText(
        nlohmann::json{{"type", "hello"}, {"protocol", protocolVersion}, {"window", number}}.dump());
    added.model.shown();
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
        connection.sendText(
            nlohmann::json{{"type", "error"}, {"intent", name}, {"message", error.what()}}.dump());
    }
    // An intent may change every window (a notification reaches them all), so all are compared.
    refresh();
}

void BrowserWindows::closed(WindowConnection& connection) {
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
        const nlohmann::json state = window->model.state();
        nlohmann::json changes = nlohmann::json::object();
        for (const auto& [key, value] : state.items()) {
            const auto sent = window->sent.find(key);
            if (sent == window->sent.end() || *sent != value) {
                changes[key] = value;
            }
        }
        if (!changes.empty()) {
            window->sent = state;
            connection->sendText(nlohmann::json{{"type", "state"}, {"changes", std::move(changes)}}.dump());
        }
    }
}

} // namespace pelagrin
