// PathText: the escaped form of paths that are not valid UTF-8.
#include "support/PathText.hpp"

#include <cctype>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace pelagrin::PathText {
namespace {

constexpr char marker = '\0';
constexpr std::string_view hexDigits = "0123456789ABCDEF";

// nlohmann-json refuses to write text that is not UTF-8, which is exactly the question.
bool isUtf8(const std::string& text) {
    try {
        (void)nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

int hexValue(char digit) {
    const auto position = hexDigits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(digit))));
    return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

} // namespace

std::string encode(const std::filesystem::path& path) {
    const std::string& bytes = path.native();
    if (isUtf8(bytes)) {
        return bytes;
    }
    std::string text(1, marker);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7f && byte != '%') {
            text += byte;
        } else {
            text += '%';
            text += hexDigits[value >> 4];
            text += hexDigits[value & 0xf];
        }
    }
    return text;
}

std::filesystem::path decode(std::string_view text) {
    if (!text.starts_with(marker)) {
        return std::filesystem::path(text);
    }
    std::string bytes;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            throw std::invalid_argument("an escaped path has a \"%\" without two hex digits");
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return std::filesystem::path(bytes);
}

} // namespace pelagrin::PathText
