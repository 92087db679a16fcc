// Session: one accepted socket of the local server, as the server's shutdown and its error handling see it.
#include "app/server/Session.hpp"

#include <cstdio>

namespace pelagrin {

void Session::fail(const char* what) noexcept {
    std::fprintf(stderr, "pelagrin: a connection of the local server failed and is closed: %s\n", what);
    shutDown();
}

} // namespace pelagrin
