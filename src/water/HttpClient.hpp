// HttpClient: one plain HTTP(S) GET through libcurl, the body whatever the status.
#pragma once

#include "water/WaterServiceError.hpp"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace pelagrin {

/// Whether `url` is an absolute http:// or https:// URL that the HTTP client can send.
bool isSendableHttpUrl(const std::string& url);

/// `text` with every byte but ASCII letters, digits and - . _ ~ percent-encoded, for one query value.
std::string urlEncodeComponent(std::string_view text);

/// A completed exchange: the HTTP status and the body, whatever the status.
struct HttpReply {
    long status = 0;
    std::string body;
};

/// Sends one GET of `url` with no headers of its own (`userAgent` aside, when not empty) and no retry,
/// following redirects; returns the status and the body. Fails with the client's own message when the
/// connection fails, breaks off, or takes longer than `timeout` (> 0) in all, or when `abort` (may be null)
/// turns true meanwhile; fails with "the answer is larger than 64 MiB" (the bound named) as soon as the body,
/// announced or received, exceeds `maxBytes`. Blocks the calling thread; safe to call from several threads at
/// once. The error's kind tells a refused or unresolved connection, a time-out and an abort apart.
std::variant<HttpReply, TransportError> httpGet(const std::string& url, std::chrono::milliseconds timeout,
                                                std::size_t maxBytes,
                                                const std::atomic<bool>* abort = nullptr,
                                                const std::string& userAgent = {});

/// The body of a reply with a 2xx status, else why there is none: the transport's failure or the server's
/// refusal by its status. The body is a view into `fetched`.
std::variant<std::string_view, WaterBoundaryError>
successfulBody(const std::variant<HttpReply, TransportError>& fetched);

/// A service's base URL: the environment variable `variable` when set and not empty, else `fallback`.
std::string serviceBaseUrl(const char* variable, std::string_view fallback);

} // namespace pelagrin
