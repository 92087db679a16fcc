// RequestGuard: whether a request comes from this launch's own page, judged by Host, Origin and the token.
#include "app/server/RequestGuard.hpp"

#include "app/server/RequestTarget.hpp"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <fmt/format.h>
#include <vector>

namespace pelagrin {

namespace {

namespace http = boost::beast::http;

constexpr std::string_view tokenParameter = "token";
constexpr std::string_view tokenCookieName = "pelagrin_token";

// Equal secrets, in a time that depends on their lengths only, so that a guess learns nothing from how long
// the refusal took about how much of it was right.
bool isSameSecret(std::string_view presented, std::string_view secret) {
    if (presented.size() != secret.size() || secret.empty()) {
        return false;
    }
    unsigned char difference = 0;
    for (std::size_t i = 0; i < secret.size(); ++i) {
        difference |= static_cast<unsigned char>(presented[i] ^ secret[i]);
    }
    return difference == 0;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The pieces of `text` between separators, empty ones included.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        pieces.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

// "name=value" → value, when the name is `name`.
std::optional<std::string_view> valueNamed(std::string_view pair, std::string_view name) {
    const auto equals = pair.find('=');
    if (equals == std::string_view::npos || pair.substr(0, equals) != name) {
        return std::nullopt;
    }
    return pair.substr(equals + 1);
}

std::optional<std::string_view> queryToken(std::string_view query) {
    for (const std::string_view parameter : split(query, '&')) {
        if (auto value = valueNamed(parameter, tokenParameter)) {
            return value;
        }
    }
    return std::nullopt;
}

std::string withoutTokenParameter(const RequestTarget& target) {
    std::string result(target.path);
    char separator = '?';
    for (const std::string_view parameter : split(target.query, '&')) {
        if (!parameter.empty() && !valueNamed(parameter, tokenParameter)) {
            result += separator;
            result += parameter;
            separator = '&';
        }
    }
    return result;
}

Admission refused(std::string refusal) {
    return Admission{false, std::move(refusal), std::nullopt};
}

} // namespace

RequestGuard::RequestGuard(std::string token, std::uint16_t port)
    : token_(std::move(token)), portSuffix_(fmt::format(":{}", port)) {
    assert(!token_.empty());
}

Admission RequestGuard::admit(const http::request_header<>& request) const {
    // Host first: a page of another site that reached us through a rebound name is refused before anything
    // else is looked at.
    if (request.count(http::field::host) != 1 || !isOwnHost(request[http::field::host])) {
        return refused("the Host header must be 127.0.0.1" + portSuffix_ + " or localhost" + portSuffix_);
    }
    const auto origins = request.equal_range(http::field::origin);
    if (std::any_of(origins.first, origins.second,
                    [&](const auto& field) { return !isOwnOrigin(field.value()); })) {
        return refused("the Origin header must be http://127.0.0.1" + portSuffix_ + " or http://localhost" +
                       portSuffix_);
    }
    const RequestTarget target(request.target());
    const auto tokenInQuery = queryToken(target.query);
    if (!carriesToken(request, tokenInQuery)) {
        return refused("this page needs the token of this launch: open the address that pelagrin printed");
    }
    Admission admission{true, {}, std::nullopt};
    if (tokenInQuery) {
        admission.targetWithoutToken = withoutTokenParameter(target);
    }
    return admission;
}

std::string RequestGuard::tokenCookie() const {
    return std::string(tokenCookieName) + "=" + token_ + "; HttpOnly; SameSite=Strict; Path=/";
}

bool RequestGuard::isOwnHost(std::string_view host) const {
    return equalsIgnoringCase(host, "127.0.0.1" + portSuffix_) ||
           equalsIgnoringCase(host, "localhost" + portSuffix_);
}

bool RequestGuard::isOwnOrigin(std::string_view origin) const {
    constexpr std::string_view scheme = "http://";
    return origin.starts_with(scheme) && isOwnHost(origin.substr(scheme.size()));
}

bool RequestGuard::carriesToken(const http::request_header<>& request,
                                std::optional<std::string_view> tokenInQuery) const {
    if (tokenInQuery && isSameSecret(*tokenInQuery, token_)) {
        return true;
    }
    const auto cookieFields = request.equal_range(http::field::cookie);
    for (auto field = cookieFields.first; field != cookieFields.second; ++field) {
        for (const std::string_view cookie : split(field->value(), ';')) {
            if (auto value = valueNamed(trimmed(cookie), tokenCookieName);
                value && isSameSecret(*value, token_)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace pelagrin
