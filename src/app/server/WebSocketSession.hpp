// WebSocketSession: one browser window's WebSocket, the app's WindowConnection to it.
#pragma once

#include "app/server/OutgoingFrames.hpp"
#include "app/server/ServerState.hpp"
#include "app/server/Session.hpp"
#include "app/server/WindowConnection.hpp"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <memory>

namespace pelagrin {

/// Completes the upgrade, reports the window `opened`, passes each text message to the listener in order and
/// writes what the app sends, one frame at a time. A binary message from the browser closes the socket
/// (policy violation), as does a message over `maxIncomingMessageBytes` (too big). The listener hears
/// `closed` once, when the socket is gone, whoever closed it.
class WebSocketSession : public WindowConnection,
                         public Session,
                         public std::enable_shared_from_this<WebSocketSession> {
public:
    WebSocketSession(boost::asio::ip::tcp::socket socket, std::shared_ptr<ServerState> state);

    /// Answers `upgrade`, the browser's request to open the WebSocket.
    void accept(const boost::beast::http::request<boost::beast::http::empty_body>& upgrade);

    void sendText(std::string message) override;
    void sendBinary(std::string bytes) override;
    void close() override;
    void shutDown() noexcept override;

private:
    enum class Phase {
        handshaking, ///< the upgrade is being answered
        open,        ///< opened reported; sends are taken
        closing,     ///< sends are refused; the queue drains, then the close handshake
        ended        ///< the socket is gone and closed reported
    };

    void onAccepted(boost::system::error_code error);
    void readNext();
    void onRead(boost::system::error_code error);
    void writeNext();
    void beginClose(boost::beast::websocket::close_reason reason);
    /// Drops the socket without a close handshake, for a window that cannot take more; the pending read then
    /// fails and ends the session.
    void abort();
    /// Reports closed, if the window was open, and drops the socket; a second call does nothing.
    void end();

    boost::beast::websocket::stream<boost::beast::tcp_stream> ws_;
    boost::beast::flat_buffer incoming_;
    OutgoingFrames outgoing_;
    std::string writing_; ///< the frame being written, kept alive until its write completes
    bool isWriting_ = false;
    bool isCloseSent_ = false;
    boost::beast::websocket::close_reason closeReason_;
    Phase phase_ = Phase::handshaking;
    std::shared_ptr<ServerState> state_;
};

} // namespace pelagrin
