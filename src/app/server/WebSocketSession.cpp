// WebSocketSession: one browser window's WebSocket, the app's WindowConnection to it.
#include "app/server/WebSocketSession.hpp"

#include "app/server/ServerLimits.hpp"

#include <boost/asio/buffer.hpp>
#include <boost/beast/core/buffers_to_string.hpp>

namespace pelagrin {

namespace {

namespace beast = boost::beast;
namespace websocket = beast::websocket;

} // namespace

WebSocketSession::WebSocketSession(boost::asio::ip::tcp::socket socket, std::shared_ptr<ServerState> state)
    : ws_(std::move(socket)), state_(std::move(state)) {
    // The WebSocket keeps its own timeouts: the handshake and the close are bounded, and an idle window is
    // pinged, so one whose browser vanished without closing is found out.
    beast::get_lowest_layer(ws_).expires_never();
    ws_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    ws_.read_message_max(maxIncomingMessageBytes);
}

void WebSocketSession::accept(const beast::http::request<beast::http::empty_body>& upgrade) {
    ws_.async_accept(upgrade, [self = shared_from_this()](boost::system::error_code error) {
        self->runGuarded([&] { self->onAccepted(error); });
    });
}

void WebSocketSession::sendText(std::string message) {
    if (phase_ != Phase::open) {
        return;
    }
    // Only text already waiting counts: one message, however long (the first state of a long outline), is
    // written; a window that leaves that much unread while more comes has stopped reading.
    if (outgoing_.textBytes() > maxQueuedTextBytes) {
        abort();
        return;
    }
    outgoing_.pushText(std::move(message));
    writeNext();
}

void WebSocketSession::sendBinary(std::string bytes) {
    if (phase_ != Phase::open) {
        return;
    }
    outgoing_.replaceBinary(std::move(bytes));
    writeNext();
}

void WebSocketSession::close() {
    if (phase_ == Phase::open) {
        beginClose(websocket::close_code::normal);
    }
}

void WebSocketSession::shutDown() noexcept {
    runGuarded([&] { end(); });
}

void WebSocketSession::onAccepted(boost::system::error_code error) {
    ConnectionListener* listener = state_->listener();
    if (error || listener == nullptr) {
        end();
        return;
    }
    phase_ = Phase::open;
    listener->opened(*this);
    readNext();
}

void WebSocketSession::readNext() {
    if (phase_ == Phase::ended) {
        return;
    }
    ws_.async_read(incoming_, [self = shared_from_this()](boost::system::error_code error, std::size_t) {
        self->runGuarded([&] { self->onRead(error); });
    });
}

void WebSocketSession::onRead(boost::system::error_code error) {
    if (error) {
        end(); // closed by the browser, by the close handshake, or for a message too big
        return;
    }
    const std::string text = beast::buffers_to_string(incoming_.data());
    incoming_.consume(incoming_.size());
    if (phase_ == Phase::open) {
        if (!ws_.got_text()) {
            beginClose({websocket::close_code::policy_error, "binary messages are not accepted"});
        } else if (ConnectionListener* listener = state_->listener()) {
            listener->received(*this, text);
        }
    }
    // Reading goes on while closing: the close handshake completes through the read.
    readNext();
}

void WebSocketSession::writeNext() {
    if (isWriting_ || phase_ == Phase::ended) {
        return;
    }
    if (auto frame = outgoing_.pop()) {
        writing_ = std::move(frame->bytes);
        ws_.text(frame->isText);
        isWriting_ = true;
        ws_.async_write(boost::asio::buffer(writing_),
                        [self = shared_from_this()](boost::system::error_code writeError, std::size_t) {
                            self->runGuarded([&] {
                                self->isWriting_ = false;
                                if (writeError) {
                                    self->abort();
                                } else {
                                    self->writeNext();
                                }
                            });
                        });
    } else if (phase_ == Phase::closing && !isCloseSent_) {
        isCloseSent_ = true;
        isWriting_ = true;
        ws_.async_close(closeReason_, [self = shared_from_this()](boost::system::error_code) {
            self->runGuarded([&] { self->isWriting_ = false; });
        });
    }
}

void WebSocketSession::beginClose(websocket::close_reason reason) {
    phase_ = Phase::closing;
    closeReason_ = std::move(reason);
    writeNext();
}

void WebSocketSession::abort() {
    if (phase_ == Phase::open) {
        phase_ = Phase::closing;
    }
    outgoing_.clear();
    beast::get_lowest_layer(ws_).close();
}

void WebSocketSession::end() {
    if (phase_ == Phase::ended) {
        return;
    }
    const bool wasOpen = phase_ != Phase::handshaking;
    phase_ = Phase::ended;
    outgoing_.clear();
    beast::get_lowest_layer(ws_).close();
    if (ConnectionListener* listener = state_->listener(); listener != nullptr && wasOpen) {
        listener->closed(*this);
    }
}

} // namespace pelagrin
