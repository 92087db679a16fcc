// PageToken: checking the kept token's file before trusting it, and replacing it privately.
#include "app/PageToken.hpp"

#include "app/server/LocalServer.hpp"
#include "support/AtomicWrite.hpp"
#include "support/FileRead.hpp"

#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace pelagrin {
namespace {

constexpr std::size_t tokenDigits = 32;

bool isToken(std::string_view text) {
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    return text.size() == tokenDigits &&
           std::ranges::all_of(text, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The token in `file`, or why the file cannot be trusted with one; nothing when there is no file.
std::optional<std::string> readToken(const std::filesystem::path& file, std::string& fault) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) {
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
        fault = "others could read or change it";
        return std::nullopt;
    }
    try {
        std::string text = readWholeFile(file, tokenDigits + 1);
        if (isToken(text)) {
            return text.substr(0, tokenDigits);
        }
    } catch (const FileReadError&) {
    }
    fault = "it holds no token";
    return std::nullopt;
}

} // namespace

std::string keptPageToken(const std::filesystem::path& file, bool renew, std::ostream& diagnostics) {
    std::string fault;
    if (!renew) {
        if (std::optional<std::string> token = readToken(file, fault)) {
            return *token;
        }
    }
    if (!fault.empty()) {
        diagnostics << "The page's token in " << file.string() << " is replaced: " << fault << '\n';
    }
    std::string token = LocalServer::randomToken();
    std::error_code ignored; // a folder that cannot be made fails the write, with its reason
    std::filesystem::create_directories(file.parent_path(), ignored);
    writeFileAtomically(file, token + "\n", FileAccess::ownerOnly);
    return token;
}

} // namespace pelagrin
