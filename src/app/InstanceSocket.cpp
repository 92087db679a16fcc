// InstanceSocket: the socket's folder, made safe for a secret-free but private channel, and the request line.
#include "app/InstanceSocket.hpp"

#include "support/PathText.hpp"

#include <cerrno>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pelagrin {
namespace {

constexpr const char* socketName = "pelagrin.socket";

// The fallback folder in /tmp, which anyone may have made first: it must be a real folder (no link), this
// user's, and closed to group and others.
std::filesystem::path privateTemporaryFolder() {
    const std::filesystem::path folder = "/tmp/pelagrin-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot create " + folder.string() + ": " +
                                 std::generic_category().message(errno));
    }
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
        (status.st_mode & 077) != 0) {
        throw std::runtime_error(folder.string() +
                                 " is not a folder of this user's closed to others; remove it");
    }
    return folder;
}

} // namespace

std::filesystem::path instanceSocketPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
        return std::filesystem::path(runtime) / socketName;
    }
    return privateTemporaryFolder() / socketName;
}

std::string encodeOpenRequest(const std::vector<std::filesystem::path>& files) {
    nlohmann::json paths = nlohmann::json::array();
    for (const std::filesystem::path& file : files) {
        paths.push_back(PathText::encode(file));
    }
    return nlohmann::json{{"open", paths}}.dump() + "\n";
}

std::vector<std::filesystem::path> decodeOpenRequest(std::string_view line) {
    const nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        throw std::invalid_argument("the request is not a JSON object");
    }
    const auto open = request.find("open");
    if (open == request.end() || !open->is_array()) {
        throw std::invalid_argument("\"open\" must be a list of paths");
    }
    std::vector<std::filesystem::path> files;
    for (const nlohmann::json& entry : *open) {
        std::filesystem::path file = entry.is_string() ? PathText::decode(entry.get<std::string>()) : "";
        if (!file.is_absolute()) {
            throw std::invalid_argument("\"open\" must hold absolute paths only");
        }
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace pelagrin
