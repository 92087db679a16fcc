// HttpSession: one HTTP connection: its requests guarded and answered in turn, or upgraded to a WebSocket.
#include "app/server/HttpSession.hpp"

#include "app/server/RequestTarget.hpp"
#include "app/server/ServerLimits.hpp"
#include "app/server/WebSocketSession.hpp"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/websocket/rfc6455.hpp>

namespace pelagrin {

namespace {

namespace beast = boost::beast;
namespace http = beast::http;

constexpr std::string_view webSocketPath = "/ws";
constexpr std::size_t drainChunkBytes = 4096;

http::response<http::string_body> textResponse(http::status status, std::string message) {
    http::response<http::string_body> response(status, 11);
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = std::move(message) + "\n";
    return response;
}

bool isParseError(boost::system::error_code error) {
    return error.category() == http::make_error_code(http::error::bad_target).category() &&
           error != http::error::end_of_stream;
}

} // namespace

HttpSession::HttpSession(boost::asio::ip::tcp::socket socket, std::shared_ptr<ServerState> state)
    : stream_(std::move(socket)), state_(std::move(state)) {}

void HttpSession::shutDown() noexcept {
    stream_.close();
}

void HttpSession::readRequest() {
    parser_.emplace();
    parser_->header_limit(maxRequestHeaderBytes);
    stream_.expires_after(httpIdleTimeout);
    // Only the header is read: GET and HEAD have no body, and a request that brings one is answered and its
    // connection closed rather than its body buffered.
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                                self->runGuarded([&] { self->onRequest(error); });
                            });
}

void HttpSession::onRequest(boost::system::error_code error) {
    if (error == http::error::header_limit) {
        send(textResponse(http::status::request_header_fields_too_large, "Request header too large"), false);
    } else if (isParseError(error)) {
        send(textResponse(http::status::bad_request, "Malformed request"), false);
    } else if (error) {
        shutDown(); // the browser went away, or the connection sat idle
    } else {
        answer(parser_->get());
    }
}

void HttpSession::answer(const http::request<http::empty_body>& request) {
    const bool keepsOpen = request.keep_alive() && parser_->is_done();
    const Admission admission = state_->guard().admit(request);
    if (!admission.isAdmitted) {
        send(textResponse(http::status::forbidden, "Forbidden: " + admission.refusal), keepsOpen);
        return;
    }
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
        Response response = textResponse(http::status::method_not_allowed, "Only GET and HEAD are served");
        response.set(http::field::allow, "GET, HEAD");
        send(std::move(response), keepsOpen);
        return;
    }
    const RequestTarget target(request.target());
    if (target.path == webSocketPath) {
        if (beast::websocket::is_upgrade(request)) {
            upgrade(); // the token may stay in the query: a WebSocket cannot follow a redirect
        } else {
            send(textResponse(http::status::upgrade_required, "This address takes a WebSocket"), keepsOpen);
        }
        return;
    }
    if (admission.targetWithoutToken) {
        Response response(http::status::see_other, 11);
        response.set(http::field::location, *admission.targetWithoutToken);
        response.set(http::field::set_cookie, state_->guard().tokenCookie());
        send(std::move(response), keepsOpen);
        return;
    }
    auto file = state_->files().find(request.target());
    if (!file) {
        send(textResponse(http::status::not_found, "Not found"), keepsOpen);
        return;
    }
    Response response(http::status::ok, 11);
    response.set(http::field::content_type, file->contentType);
    if (file->isPage) {
        response.set(http::field::cache_control, "no-store");
    }
    response.body() = std::move(file->bytes);
    send(std::move(response), keepsOpen);
}

void HttpSession::upgrade() {
    auto window = std::make_shared<WebSocketSession>(stream_.release_socket(), state_);
    state_->track(window);
    window->accept(parser_->release());
}

void HttpSession::send(Response response, bool keepsOpen) {
    const bool isHead = parser_->get().method() == http::verb::head;
    response.version(parser_->get().version() == 10 ? 10 : 11);
    response.keep_alive(keepsOpen);
    response.set("X-Content-Type-Options", "nosniff");
    response.set("Referrer-Policy", "no-referrer");
    if (response.result() != http::status::ok) {
        response.set(http::field::cache_control, "no-store");
    }
    response.prepare_payload();
    if (isHead) {
        // The length of the body the GET would have had, without the body.
        const auto length = response.body().size();
        response.body().clear();
        response.content_length(length);
    }
    response_ = std::move(response);
    stream_.expires_after(httpIdleTimeout);
    http::async_write(stream_, response_,
                      [self = shared_from_this(), keepsOpen](boost::system::error_code error, std::size_t) {
                          self->runGuarded([&] {
                              if (error) {
                                  self->shutDown();
                              } else if (keepsOpen) {
                                  self->readRequest();
                              } else {
                                  self->closeAfterResponse();
                              }
                          });
                      });
}

void HttpSession::closeAfterResponse() {
    // Half-close, then drop what the browser still sends until it closes: closing on unread data resets the
    // connection, and a reset can destroy the response before the browser has read it.
    boost::system::error_code ignored;
    stream_.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    stream_.expires_after(httpIdleTimeout);
    drain();
}

void HttpSession::drain() {
    stream_.async_read_some(buffer_.prepare(drainChunkBytes),
                            [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                                if (!error) {
                                    self->runGuarded([&] { self->drain(); });
                                }
                            });
}

} // namespace pelagrin
