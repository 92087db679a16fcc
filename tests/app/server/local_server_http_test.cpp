// LocalServer over HTTP: the token's way from the address to the cookie, the refusals, and the files served.
#include "app/server/LocalServer.hpp"
#include "app/server/ServerLimits.hpp"
#include "tests/app/server/SampleSite.hpp"
#include "tests/app/server/ServerHarness.hpp"

#include <gtest/gtest.h>
#include <regex>
#include <system_error>

namespace pelagrin {
namespace {

namespace http = boost::beast::http;
using test::Request;
using test::SampleSite;
using test::ServerHarness;

std::string header(const test::Response& response, http::field field) {
    return std::string(response[field]);
}

TEST(LocalServerHttp, TheOpenedAddressTradesTheTokenForACookieThatServesTheSite) {
    const SampleSite site;
    ServerHarness harness(site.root());
    const std::string prefix = "http://" + harness.host();
    ASSERT_EQ(harness.server().url(), prefix + "/?token=" + std::string(ServerHarness::token));

    Request first(http::verb::get, harness.server().url().substr(prefix.size()), 11);
    first.set(http::field::host, harness.host());
    const auto redirect = harness.fetch(first);
    EXPECT_EQ(redirect.result(), http::status::see_other);
    EXPECT_EQ(header(redirect, http::field::location), "/") << "the token leaves the address bar";
    const std::string cookie = header(redirect, http::field::set_cookie);
    EXPECT_EQ(cookie,
              "pelagrin_token=" + std::string(ServerHarness::token) + "; HttpOnly; SameSite=Strict; Path=/");
    EXPECT_EQ(header(redirect, http::field::cache_control), "no-store");

    // The browser follows with the cookie alone, on one kept-alive connection.
    std::vector<Request> requests{Request(http::verb::get, "/", 11), Request(http::verb::get, "/app.js", 11),
                                  Request(http::verb::head, "/app.js", 11)};
    for (Request& request : requests) {
        request.set(http::field::host, harness.host());
        request.set(http::field::cookie, cookie.substr(0, cookie.find(';')));
    }
    const auto responses = harness.exchange(requests);
    ASSERT_EQ(responses.size(), 3u);
    EXPECT_EQ(responses[0].body(), SampleSite::page);
    EXPECT_EQ(header(responses[0], http::field::content_type), "text/html; charset=utf-8");
    EXPECT_EQ(header(responses[0], http::field::cache_control), "no-store") << "the page is never cached";
    EXPECT_EQ(responses[1].body(), SampleSite::script);
    EXPECT_EQ(header(responses[1], http::field::content_type), "text/javascript; charset=utf-8");
    EXPECT_EQ(header(responses[1], http::field::cache_control), "");
    EXPECT_EQ(responses[2].result(), http::status::ok);
    EXPECT_EQ(header(responses[2], http::field::content_length), std::to_string(SampleSite::script.size()));
    EXPECT_EQ(responses[2].body(), "");
}

TEST(LocalServerHttp, RefusesAWrongTokenOrAForeignHostOrOriginWithTheReason) {
    const SampleSite site;
    ServerHarness harness(site.root());
    const std::string port = std::to_string(harness.port());
    const std::string tokenRefusal =
        "Forbidden: this page needs the token of this launch: open the address that pelagrin printed\n";
    const auto with = [&](http::field field, std::string value, std::string target = "/") {
        auto request = harness.pageRequest(std::move(target));
        if (value.empty()) {
            request.erase(field);
        } else {
            request.set(field, value);
        }
        return request;
    };
    const std::vector<std::pair<Request, std::string>> cases{
        {with(http::field::cookie, "pelagrin_token=ffffffffffffffffffffffffffffffff"), tokenRefusal},
        {with(http::field::host, "evil.example:" + port),
         "Forbidden: the Host header must be 127.0.0.1:" + port + " or localhost:" + port + "\n"},
        {with(http::field::origin, "http://evil.example", "/app.js"),
         "Forbidden: the Origin header must be http://127.0.0.1:" + port + " or http://localhost:" + port +
             "\n"},
    };
    for (const auto& [request, body] : cases) {
        const auto response = harness.fetch(request);
        EXPECT_EQ(response.result(), http::status::forbidden) << request.target();
        EXPECT_EQ(response.body(), body);
        EXPECT_EQ(header(response, http::field::set_cookie), "") << "the token is never handed out";
    }
}

TEST(LocalServerHttp, AnswersNotFoundForATraversalALinkOutOrAMissingFile) {
    const SampleSite site;
    ServerHarness harness(site.root());
    for (const char* target : {"/../secret.txt", "/%2e%2e/secret.txt", "/assets/..%2f..%2fsecret.txt",
                               "/outside.txt", "/outside-folder/secret.txt", "/missing.js"}) {
        const auto response = harness.fetch(harness.pageRequest(target));
        EXPECT_EQ(response.result(), http::status::not_found) << target;
        EXPECT_EQ(response.body().find(SampleSite::secret), std::string::npos) << target;
    }
}

TEST(LocalServerHttp, RefusesOtherMethodsAndBadRequestsAndServesTheNextConnection) {
    const SampleSite site;
    ServerHarness harness(site.root());
    for (const http::verb method :
         {http::verb::post, http::verb::put, http::verb::delete_, http::verb::options}) {
        const auto response = harness.fetch(harness.pageRequest("/", method));
        EXPECT_EQ(response.result(), http::status::method_not_allowed) << http::to_string(method);
        EXPECT_EQ(header(response, http::field::allow), "GET, HEAD");
    }
    // A body is never read: the connection closes instead.
    auto withBody = harness.pageRequest("/", http::verb::post);
    withBody.body() = std::string(100'000, 'x');
    const auto unread = harness.fetch(withBody);
    EXPECT_EQ(unread.result(), http::status::method_not_allowed);
    EXPECT_FALSE(unread.keep_alive());

    auto oversized = harness.pageRequest("/");
    oversized.set("X-Filler", std::string(maxRequestHeaderBytes, 'x'));
    const auto tooLarge = harness.fetch(oversized);
    EXPECT_EQ(tooLarge.result(), http::status::request_header_fields_too_large);
    EXPECT_FALSE(tooLarge.keep_alive());

    EXPECT_EQ(harness.fetchRaw("GARBAGE\r\n\r\n").result(), http::status::bad_request);
    EXPECT_EQ(harness.fetch(harness.pageRequest("/")).result(), http::status::ok);
}

TEST(LocalServerHttp, AnOccupiedPortIsAClearErrorAndTheServerThereServesOn) {
    const SampleSite site;
    ServerHarness harness(site.root());
    test::RecordingListener other;
    try {
        LocalServer second(harness.context(), {site.root(), harness.port(), "0123"}, other);
        FAIL() << "a second server took the port";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::address_in_use);
        EXPECT_EQ(std::string(error.what())
                      .rfind("cannot listen on 127.0.0.1:" + std::to_string(harness.port()) + ": ", 0),
                  0u)
            << error.what();
    }
    EXPECT_EQ(harness.fetch(harness.pageRequest("/")).result(), http::status::ok);
}

TEST(LocalServerHttp, WithoutAGivenTokenUsesAFreshRandomOne) {
    const std::regex hexToken("[0-9a-f]{32}");
    const std::string first = LocalServer::randomToken();
    EXPECT_TRUE(std::regex_match(first, hexToken)) << first;
    EXPECT_NE(first, LocalServer::randomToken());

    boost::asio::io_context context;
    test::RecordingListener listener;
    const LocalServer server(context, {{}, 0, ""}, listener);
    const std::string prefix = "http://127.0.0.1:" + std::to_string(server.port()) + "/?token=";
    ASSERT_EQ(server.url().rfind(prefix, 0), 0u) << server.url();
    EXPECT_TRUE(std::regex_match(server.url().substr(prefix.size()), hexToken)) << server.url();
}

} // namespace
} // namespace pelagrin
