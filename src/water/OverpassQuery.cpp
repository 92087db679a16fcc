// OverpassQuery: the Overpass QL text that asks for the water around a point, and its request URL.
#include "water/OverpassQuery.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace pelagrin {

std::string formatCoordinate(double degrees) {
    if (std::isnan(degrees)) {
        return "nan";
    }
    if (std::isinf(degrees)) {
        return degrees > 0 ? "inf" : "-inf";
    }
    const bool isTiny = degrees != 0.0 && std::fabs(degrees) < 0.0001;
    // Fixed notation of the largest doubles takes 309 digits before the point.
    std::array<char, 2 * std::numeric_limits<double>::max_exponent10> buffer{};
    const auto format = isTiny ? std::chars_format::scientific : std::chars_format::fixed;
    char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), degrees, format).ptr;
    std::string text(buffer.data(), end);
    if (!isTiny && text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string buildOverpassQuery(double latitude, double longitude) {
    const std::string point = formatCoordinate(latitude) + "," + formatCoordinate(longitude);
    return "[out:json][timeout:25];\nis_in(" + point +
           ")->.a;\n(\n"
           "  way(pivot.a)[\"natural\"=\"water\"];\n"
           "  relation(pivot.a)[\"natural\"=\"water\"];\n"
           "  way(pivot.a)[\"water\"=\"lake\"];\n"
           "  relation(pivot.a)[\"water\"=\"lake\"];\n"
           "  \n"
           "  way[\"natural\"=\"water\"](around:2500," +
           point + ");\n  relation[\"natural\"=\"water\"](around:2500," + point +
           ");\n  way[\"waterway\"=\"riverbank\"](around:2500," + point + ");\n);\nout geom;";
}

namespace {

bool isQueryCharacter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("-._~!$&'()*+,;=:@/?").find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string percentEncodeQuery(std::string_view text) {
    static constexpr std::string_view hexDigits = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (isQueryCharacter(c)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += hexDigits[c >> 4];
            encoded += hexDigits[c & 0x0F];
        }
    }
    return encoded;
}

std::string overpassRequestUrl(std::string_view baseUrl, double latitude, double longitude) {
    while (!baseUrl.empty() && baseUrl.back() == '/') {
        baseUrl.remove_suffix(1);
    }
    return std::string(baseUrl) + std::string(overpassInterpreterPath) +
           percentEncodeQuery(buildOverpassQuery(latitude, longitude));
}

} // namespace pelagrin
