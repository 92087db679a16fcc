// StaticFiles: the files of the built user interface, found by request target and never outside its folder.
#include "app/server/StaticFiles.hpp"

#include "app/server/RequestTarget.hpp"
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace pelagrin {

namespace {

namespace fs = std::filesystem;

// The page's largest file is its script bundle, well under a megabyte; the bound only keeps a stray large
// file in the folder from being held in memory whole.
constexpr std::size_t maxServedFileBytes = 64 * mebibyte;

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> contentTypes{{
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".json", "application/json"},
    {".woff2", "font/woff2"},
    {".map", "application/json"},
}};

std::string lowercase(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string_view contentTypeFor(const fs::path& file) {
    const std::string extension = lowercase(file.extension().string());
    const auto known =
        std::ranges::find(contentTypes, extension, &std::pair<std::string_view, std::string_view>::first);
    return known != contentTypes.end() ? known->second : "application/octet-stream";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// `%XX` escapes decoded; nothing for a malformed escape or a NUL, which no file name may hold.
std::optional<std::string> percentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0') {
            return std::nullopt;
        }
        decoded += c;
    }
    return decoded;
}

// The decoded path as a relative path of plain names; nothing when it is not absolute or has a `.` or `..`.
std::optional<fs::path> relativePath(std::string_view decoded) {
    if (!decoded.starts_with('/')) {
        return std::nullopt;
    }
    fs::path relative;
    std::size_t start = 1;
    while (start <= decoded.size()) {
        const auto end = std::min(decoded.find('/', start), decoded.size());
        const std::string_view segment = decoded.substr(start, end - start);
        if (segment == "." || segment == "..") {
            return std::nullopt;
        }
        if (!segment.empty()) {
            relative /= segment;
        }
        start = end + 1;
    }
    return relative;
}

// Whether `path` is `folder` or lies beneath it; both canonical.
bool isWithin(const fs::path& path, const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first == folder.end();
}

} // namespace

std::optional<StaticFile> StaticFiles::find(std::string_view target) const {
    auto decoded = percentDecoded(RequestTarget(target).path);
    if (!decoded) {
        return std::nullopt;
    }
    if (decoded->ends_with('/')) {
        *decoded += "index.html";
    }
    const auto relative = relativePath(*decoded);
    if (!relative) {
        return std::nullopt;
    }

    // Symbolic links are resolved before the containment check, so one that leads out is caught too.
    std::error_code error;
    const fs::path root = fs::canonical(root_, error);
    if (error) {
        return std::nullopt;
    }
    const fs::path file = fs::canonical(root / *relative, error);
    if (error || !isWithin(file, root) || !fs::is_regular_file(file, error)) {
        return std::nullopt;
    }
    try {
        const std::string_view contentType = contentTypeFor(*relative);
        return StaticFile{readWholeFile(file, maxServedFileBytes), contentType,
                          contentType.starts_with("text/html")};
    } catch (const FileReadError&) {
        return std::nullopt; // removed or made unreadable since it was found
    }
}

} // namespace pelagrin
