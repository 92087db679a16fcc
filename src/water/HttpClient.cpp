// HttpClient: one plain HTTP(S) GET through libcurl, the body whatever the status.
#include "water/HttpClient.hpp"

#include "support/ByteSize.hpp"

#include <array>
#include <cassert>
#include <cstdlib>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <new>

namespace pelagrin {

namespace {

// libcurl's global set-up is not safe to race with the first transfer; it is done once, before any.
void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// The body received so far, and whether the transfer was stopped because it outgrew its bound.
struct BoundedBody {
    std::string bytes;
    std::size_t maxBytes = 0;
    bool isTooLarge = false;
};

// Returning less than was given makes libcurl end the transfer with CURLE_WRITE_ERROR.
std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto& body = *static_cast<BoundedBody*>(target);
    const std::size_t length = size * count;
    if (length > body.maxBytes - body.bytes.size()) {
        body.isTooLarge = true;
        return 0;
    }
    body.bytes.append(data, length);
    return length;
}

// Returning non-zero from the progress callback makes libcurl end the transfer with
// CURLE_ABORTED_BY_CALLBACK.
int checkAbort(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(abort)->load() ? 1 : 0;
}

TransportFailure failureOf(CURLcode result) {
    switch (result) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
        return TransportFailure::unreachable;
    case CURLE_OPERATION_TIMEDOUT:
        return TransportFailure::timedOut;
    case CURLE_ABORTED_BY_CALLBACK:
        return TransportFailure::cancelled;
    default:
        return TransportFailure::other;
    }
}

} // namespace

std::string urlEncodeComponent(std::string_view text) {
    initialiseCurlOnce();
    const std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    char* encoded =
        handle ? curl_easy_escape(handle.get(), text.data(), static_cast<int>(text.size())) : nullptr;
    if (encoded == nullptr) {
        throw std::bad_alloc();
    }
    std::string result(encoded);
    curl_free(encoded);
    return result;
}

std::variant<std::string_view, WaterBoundaryError>
successfulBody(const std::variant<HttpReply, TransportError>& fetched) {
    if (const auto* failure = std::get_if<TransportError>(&fetched)) {
        return *failure;
    }
    const HttpReply& reply = std::get<HttpReply>(fetched);
    if (reply.status < 200 || reply.status > 299) {
        return ServiceRefusal{reply.status, {}};
    }
    return reply.body;
}

std::string serviceBaseUrl(const char* variable, std::string_view fallback) {
    const char* fromEnvironment = std::getenv(variable);
    return std::string(fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : fallback);
}

bool isSendableHttpUrl(const std::string& url) {
    const std::unique_ptr<CURLU, CurlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* scheme = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) {
        return false;
    }
    const std::string schemeText(scheme);
    curl_free(scheme);
    return schemeText == "http" || schemeText == "https";
}

std::variant<HttpReply, TransportError> httpGet(const std::string& url, std::chrono::milliseconds timeout,
                                                std::size_t maxBytes, const std::atomic<bool>* abort,
                                                const std::string& userAgent) {
    assert(timeout.count() > 0);
    initialiseCurlOnce();
    const std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    if (!handle) {
        return TransportError{"the HTTP client could not be started"};
    }
    CURL* curl = handle.get();
    BoundedBody body;
    body.maxBytes = maxBytes;
    std::array<char, CURL_ERROR_SIZE> errorText{};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    // Signals cannot be used for time-outs when transfers run on several threads.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    // An announced length beyond the bound ends the transfer before any of the body is read.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText.data());
    if (!userAgent.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent.c_str());
    }
    if (abort != nullptr) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abort));
    }

    const CURLcode result = curl_easy_perform(curl);
    if (body.isTooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        return TransportError{"the answer is larger than " + describeByteSize(maxBytes)};
    }
    if (result != CURLE_OK) {
        return TransportError{errorText[0] != '\0' ? errorText.data() : curl_easy_strerror(result),
                              failureOf(result)};
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return HttpReply{status, std::move(body.bytes)};
}

} // namespace pelagrin
