// RequestGuard: only this launch's own page gets in, whatever its Host, Origin or token says.
#include "app/server/RequestGuard.hpp"

#include <boost/beast/http/empty_body.hpp>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

namespace http = boost::beast::http;
using namespace std::string_literals;
using Request = http::request<http::empty_body>;

const std::string token = "0123456789abcdef0123456789abcdef";
const std::string wrong = "fedcba9876543210fedcba9876543210";
const std::string tokenRefusal =
    "this page needs the token of this launch: open the address that pelagrin printed";
const std::string hostRefusal = "the Host header must be 127.0.0.1:4711 or localhost:4711";
const std::string originRefusal = "the Origin header must be http://127.0.0.1:4711 or http://localhost:4711";

Request request(const std::string& target, std::vector<std::pair<http::field, std::string>> headers = {}) {
    Request result(http::verb::get, target, 11);
    result.set(http::field::host, "127.0.0.1:4711");
    for (const auto& [field, value] : headers) {
        result.set(field, value);
    }
    return result;
}

Request cookie(const std::string& value) {
    return request("/", {{http::field::cookie, value}});
}

TEST(RequestGuard, AdmitsTheTokenInTheQueryOrCookieAndTakesItOutOfTheTarget) {
    const RequestGuard guard(token, 4711);
    const std::vector<std::pair<Request, std::optional<std::string>>> admitted{
        {request("/?token=" + token), "/"},
        {request("/index.html?lang=en&token=" + token + "&view=map"), "/index.html?lang=en&view=map"},
        {request("/app.js", {{http::field::cookie, "theme=dark; pelagrin_token=" + token + "; x=1"}}),
         std::nullopt},
        {request("/?token=" + wrong, {{http::field::cookie, "pelagrin_token=" + token}}), "/"},
        {request("/?token=" + token, {{http::field::host, "LocalHost:4711"}}), "/"},
        {request("/?token=" + token, {{http::field::origin, "http://localhost:4711"}}), "/"},
    };
    for (const auto& [admittedRequest, target] : admitted) {
        const Admission admission = guard.admit(admittedRequest);
        EXPECT_TRUE(admission.isAdmitted) << admittedRequest.target();
        EXPECT_EQ(admission.targetWithoutToken, target) << admittedRequest.target();
    }
    auto twoFields = cookie("theme=dark");
    twoFields.insert(http::field::cookie, "pelagrin_token=" + token);
    EXPECT_TRUE(guard.admit(twoFields).isAdmitted);

    const std::string handedOut = guard.tokenCookie();
    EXPECT_EQ(handedOut, "pelagrin_token=" + token + "; HttpOnly; SameSite=Strict; Path=/");
    EXPECT_TRUE(guard.admit(cookie(handedOut.substr(0, handedOut.find(';')))).isAdmitted);
}

TEST(RequestGuard, RefusesEveryOtherRequestWithTheReasonAndChecksTheHostFirst) {
    const RequestGuard guard(token, 4711);
    const std::string admittedTarget = "/?token=" + token;
    std::vector<std::pair<Request, std::string>> refused;
    for (const std::string& target : std::vector<std::string>{
             "/", "/?token=" + wrong, "/?token=" + token.substr(0, 31), "/?token=" + token + "0",
             "/?token=", "/?xtoken=" + token, "/?token=0123456789ABCDEF0123456789ABCDEF"s}) {
        refused.emplace_back(request(target), tokenRefusal);
    }
    for (const std::string& value :
         {"pelagrin_token=" + wrong, "pelagrin_token="s, "other_pelagrin_token=" + token, "token=" + token}) {
        refused.emplace_back(cookie(value), tokenRefusal);
    }
    for (const std::string host : {"evil.example:4711", "127.0.0.1:4712", "127.0.0.1", "localhost", "",
                                   "127.0.0.1:4711.evil.example"}) {
        refused.emplace_back(request("/", {{http::field::host, host}}), hostRefusal);
    }
    refused.emplace_back(request(admittedTarget), hostRefusal);
    refused.back().first.erase(http::field::host);
    refused.emplace_back(request(admittedTarget), hostRefusal);
    refused.back().first.insert(http::field::host, "evil.example:4711");
    for (const std::string origin :
         {"http://evil.example", "https://127.0.0.1:4711", "null", "http://localhost:4712",
          "http://127.0.0.1:4711.evil.example", "127.0.0.1:4711", ""}) {
        refused.emplace_back(request(admittedTarget, {{http::field::origin, origin}}), originRefusal);
    }
    auto secondOrigin = request(admittedTarget, {{http::field::origin, "http://127.0.0.1:4711"}});
    secondOrigin.insert(http::field::origin, "http://evil.example");
    refused.emplace_back(secondOrigin, originRefusal);

    for (const auto& [refusedRequest, reason] : refused) {
        const Admission admission = guard.admit(refusedRequest);
        EXPECT_FALSE(admission.isAdmitted)
            << refusedRequest.target() << " " << refusedRequest[http::field::host];
        EXPECT_EQ(admission.refusal, reason)
            << refusedRequest.target() << " host " << refusedRequest[http::field::host] << " origin "
            << refusedRequest[http::field::origin] << " cookie " << refusedRequest[http::field::cookie];
    }
}

} // namespace
} // namespace pelagrin
