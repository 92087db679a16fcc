// RequestGuard: whether a request comes from this launch's own page, judged by Host, Origin and the token.
#pragma once

#include <boost/beast/http/message.hpp>
#include <cstdint>
#include <optional>
#include <string>

namespace pelagrin {

/// The guard's answer for one request.
struct Admission {
    /// Whether the request may be served at all.
    bool isAdmitted = false;
    /// When refused: why, in a sentence for the 403 page.
    std::string refusal;
    /// When the target carries a `token` query parameter: the same target without it, where a page request is
    /// redirected so that the token does not linger in the address bar or the history.
    std::optional<std::string> targetWithoutToken;
};

/// Admits a request only when its Host is `127.0.0.1:PORT` or `localhost:PORT` (no DNS rebinding), its
/// Origin, where present, is `http://127.0.0.1:PORT` or `http://localhost:PORT`, and it carries the token, in
/// the query parameter `token` or the cookie `pelagrin_token`. The token is compared in constant time.
class RequestGuard {
public:
    /// `token`: the launch's secret, not empty; `port`: the port the server listens on.
    RequestGuard(std::string token, std::uint16_t port);

    Admission admit(const boost::beast::http::request_header<>& request) const;

    /// The Set-Cookie value that hands the token to the browser: HttpOnly, SameSite=Strict, Path=/.
    std::string tokenCookie() const;

private:
    bool isOwnHost(std::string_view host) const;
    bool isOwnOrigin(std::string_view origin) const;
    bool carriesToken(const boost::beast::http::request_header<>& request,
                      std::optional<std::string_view> queryToken) const;

    std::string token_;
    std::string portSuffix_; ///< ":PORT"
};

} // namespace pelagrin
