// HttpSession: one HTTP connection: its requests guarded and answered in turn, or upgraded to a WebSocket.
#pragma once

#include "app/server/ServerState.hpp"
#include "app/server/Session.hpp"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <memory>
#include <optional>

namespace pelagrin {

/// Reads requests one after another (keep-alive), each with a header size limit and an idle timeout, and
/// answers each: 403 when the guard refuses it, 405 for a method other than GET and HEAD, a redirect that
/// sets the token cookie, the WebSocket upgrade at `/ws`, else a file of the user interface or 404.
class HttpSession : public Session, public std::enable_shared_from_this<HttpSession> {
public:
    HttpSession(boost::asio::ip::tcp::socket socket, std::shared_ptr<ServerState> state);

    void start() { readRequest(); }
    void shutDown() noexcept override;

private:
    using Response = boost::beast::http::response<boost::beast::http::string_body>;

    void readRequest();
    void onRequest(boost::system::error_code error);
    void answer(const boost::beast::http::request<boost::beast::http::empty_body>& request);
    void upgrade();
    /// Writes `response`; then reads the next request if `keepsOpen`, else closes.
    void send(Response response, bool keepsOpen);
    void closeAfterResponse();
    void drain();

    boost::beast::tcp_stream stream_;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
    Response response_; ///< the one being written
    std::shared_ptr<ServerState> state_;
};

} // namespace pelagrin
