// Session: one accepted socket of the local server, as the server's shutdown and its error handling see it.
#pragma once

#include <exception>

namespace pelagrin {

/// An accepted socket, plain HTTP or WebSocket. Lives on the app thread.
class Session {
public:
    virtual ~Session() = default;

    /// Ends the socket at once; a WebSocket that was open reports `closed` before this returns. A second call
    /// does nothing.
    virtual void shutDown() noexcept = 0;

protected:
    /// Runs `work`, a completion handler's body: an exception from it ends this socket, with a line on the
    /// standard error, instead of escaping into the io_context and stopping the app.
    template <class Work> void runGuarded(Work&& work) noexcept {
        try {
            work();
        } catch (const std::exception& error) {
            fail(error.what());
        } catch (...) {
            fail("an unknown exception");
        }
    }

private:
    void fail(const char* what) noexcept;
};

} // namespace pelagrin
