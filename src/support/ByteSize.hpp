// ByteSize: size bounds in bytes and the way messages name them.
#pragma once

#include <cstddef>
#include <string>

namespace pelagrin {

/// Bytes in one mebibyte, the unit size bounds are chosen in.
inline constexpr std::size_t mebibyte = std::size_t{1} << 20;

/// `bytes` as a message names a bound: "64 MiB" for a whole number of mebibytes, else "1000 bytes".
inline std::string describeByteSize(std::size_t bytes) {
    if (bytes != 0 && bytes % mebibyte == 0) {
        return std::to_string(bytes / mebibyte) + " MiB";
    }
    return std::to_string(bytes) + " bytes";
}

} // namespace pelagrin
