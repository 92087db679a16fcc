// ServerLimits: the bounds that keep a misbehaving browser from crashing or blocking the app.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace pelagrin {

/// Largest request header block, in bytes; a bigger one is answered 431 and its connection closed.
inline constexpr std::uint32_t maxRequestHeaderBytes = 16 * 1024;
/// How long an HTTP connection may sit without a complete request, or a response wait to be taken.
inline constexpr std::chrono::seconds httpIdleTimeout{30};
/// Largest message a browser window may send, in bytes; a bigger one closes its socket (close code 1009).
inline constexpr std::size_t maxIncomingMessageBytes = 64 * 1024;
/// How much unsent text a window may fall behind by, in bytes: text sent to a window with more than this
/// still waiting closes its socket. A single message of any length is written.
inline constexpr std::size_t maxQueuedTextBytes = 8 * 1024 * 1024;

} // namespace pelagrin
