// RequestGuard: only this launch's own page gets in, whatever its Host, Origin or token says.
#include "app/server/RequestGuard.hpp"

#include <boost/beast/http/empty_body.hpp>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

namespace http = boost::beast::http;

constexpr std::uint16_t port = 4711;
const std::string token = "0123456789abcdef0123456789abcdef";
const std::string tokenRefusal =
    "this page needs the token of this launch: open the address that pelagrin printed";

http::request<http::empty_body> request(const std::string& target,
                                        const std::string& host = "127.0.0.1:4711") {
    http::request<http::empty_body> result(http::verb::get, target, 11);
    result.set(http::field::host, host);
    return result;
}

http::request<http::empty_body> withCookie(const std::string& target, const std::string& cookie) {
    auto result = request(target);
    result.set(http::field::cookie, cookie);
    return result;
}

TEST(RequestGuard, AdmitsTheTokenInTheQueryAndGivesTheTargetWithoutIt) {
    const RequestGuard guard(token, port);
    const Admission plain = guard.admit(request("/?token=" + token));
    EXPECT_TRUE(plain.isAdmitted);
    EXPECT_EQ(plain.targetWithoutToken, "/");

    const Admission mixed = guard.admit(request("/index.html?lang=en&token=" + token + "&view=map"));
    EXPECT_TRUE(mixed.isAdmitted);
    EXPECT_EQ(mixed.targetWithoutToken, "/index.html?lang=en&view=map");
}

TEST(RequestGuard, AdmitsTheTokenCookieAmongOtherCookies) {
    const RequestGuard guard(token, port);
    const Admission admission =
        guard.admit(withCookie("/app.js", "theme=dark; pelagrin_token=" + token + "; x=1"));
    EXPECT_TRUE(admission.isAdmitted);
    EXPECT_EQ(admission.targetWithoutToken, std::nullopt) << "nothing to take out of the address";

    auto twoFields = withCookie("/", "theme=dark");
    twoFields.insert(http::field::cookie, "pelagrin_token=" + token);
    EXPECT_TRUE(guard.admit(twoFields).isAdmitted);
}

TEST(RequestGuard, HandsOutACookieThatItAdmits) {
    const RequestGuard guard(token, port);
    const std::string cookie = guard.tokenCookie();
    EXPECT_EQ(cookie, "pelagrin_token=" + token + "; HttpOnly; SameSite=Strict; Path=/");
    EXPECT_TRUE(guard.admit(withCookie("/", cookie.substr(0, cookie.find(';')))).isAdmitted);
}

TEST(RequestGuard, RefusesAMissingWrongOrAlmostRightToken) {
    const RequestGuard guard(token, port);
    const std::string wrong = "fedcba9876543210fedcba9876543210";
    for (const auto& refused : {
             request("/"),
             request("/?token=" + wrong),
             request("/?token=" + token.substr(0, 31)),
             request("/?token=" + token + "0"),
             request("/?token="),
             request("/?xtoken=" + token),
             request("/?token=0123456789ABCDEF0123456789ABCDEF"),
             withCookie("/", "pelagrin_token=" + wrong),
             withCookie("/", "pelagrin_token="),
             withCookie("/", "other_pelagrin_token=" + token),
             withCookie("/", "token=" + token),
         }) {
        const Admission admission = guard.admit(refused);
        EXPECT_FALSE(admission.isAdmitted) << refused.target() << " " << refused[http::field::cookie];
        EXPECT_EQ(admission.refusal, tokenRefusal);
    }
}

TEST(RequestGuard, AStaleTokenInTheQueryIsDroppedWhenTheCookieIsRight) {
    const RequestGuard guard(token, port);
    const Admission admission =
        guard.admit(withCookie("/?token=fedcba9876543210fedcba9876543210", "pelagrin_token=" + token));
    EXPECT_TRUE(admission.isAdmitted);
    EXPECT_EQ(admission.targetWithoutToken, "/");
}

TEST(RequestGuard, AdmitsOnlyItsOwnHostAndChecksItFirst) {
    const RequestGuard guard(token, port);
    const std::string target = "/?token=" + token;
    for (const std::string host : {"127.0.0.1:4711", "localhost:4711", "LocalHost:4711"}) {
        EXPECT_TRUE(guard.admit(request(target, host)).isAdmitted) << host;
    }
    for (const std::string host : {"evil.example:4711", "127.0.0.1:4712", "127.0.0.1", "localhost", "",
                                   "127.0.0.1:4711.evil.example"}) {
        const Admission admission = guard.admit(request(target, host));
        EXPECT_FALSE(admission.isAdmitted) << host;
        EXPECT_EQ(admission.refusal, "the Host header must be 127.0.0.1:4711 or localhost:4711") << host;
    }
    auto missing = request(target);
    missing.erase(http::field::host);
    EXPECT_FALSE(guard.admit(missing).isAdmitted);
    auto twice = request(target);
    twice.insert(http::field::host, "evil.example:4711");
    EXPECT_FALSE(guard.admit(twice).isAdmitted);
}

TEST(RequestGuard, AdmitsOnlyItsOwnOriginWhereThereIsOne) {
    const RequestGuard guard(token, port);
    const auto from = [&](const std::string& origin) {
        auto result = request("/ws?token=" + token);
        result.set(http::field::origin, origin);
        return guard.admit(result);
    };
    EXPECT_TRUE(from("http://127.0.0.1:4711").isAdmitted);
    EXPECT_TRUE(from("http://localhost:4711").isAdmitted);
    for (const std::string origin :
         {"http://evil.example", "https://127.0.0.1:4711", "null", "http://localhost:4712",
          "http://127.0.0.1:4711.evil.example", "127.0.0.1:4711", ""}) {
        const Admission admission = from(origin);
        EXPECT_FALSE(admission.isAdmitted) << origin;
        EXPECT_EQ(admission.refusal,
                  "the Origin header must be http://127.0.0.1:4711 or http://localhost:4711")
            << origin;
    }
    auto secondOrigin = request("/?token=" + token);
    secondOrigin.insert(http::field::origin, "http://127.0.0.1:4711");
    secondOrigin.insert(http::field::origin, "http://evil.example");
    EXPECT_FALSE(guard.admit(secondOrigin).isAdmitted);
}

} // namespace
} // namespace pelagrin
