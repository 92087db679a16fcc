// PathText: a path's bytes as text that survives JSON, and back.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelagrin {

/// Paths are bytes, JSON text is UTF-8. A path that is valid UTF-8 is its own text, so every file written
/// with such paths reads as before. Any other path becomes a NUL (which no path contains) followed by its
/// bytes with every byte outside printable ASCII, and "%", written "%XX" in upper-case hex.
namespace PathText {

/// The text of `path`: valid UTF-8, and `decode(encode(path)) == path` for every path.
std::string encode(const std::filesystem::path& path);

/// The path `text` stands for; text without the leading NUL is the path itself. Throws std::invalid_argument
/// for an encoded text with a "%" not followed by two hex digits.
std::filesystem::path decode(std::string_view text);

} // namespace PathText
} // namespace pelagrin
