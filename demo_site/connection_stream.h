// One accepted connection of the local site seen as an httplib stream, over a plain socket or a
// TLS session. Every byte handed to httplib is also kept, so that a request can be recorded
// exactly as it arrived (httplib itself keeps headers sorted by name). Waits are sliced so that
// a stopping site ends them within about 50 ms.
#pragma once

#include <atomic>
#include <string>

#include <httplib.h>

#include "demo_site/tls_server.h"

namespace lumeno::demo {

class ConnectionStream : public httplib::Stream {
public:
    // `tls` may be null (plain HTTP); the stream owns neither the socket nor the session.
    ConnectionStream(socket_t fd, TlsSession* tls, const std::atomic<bool>& stopping);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

    // Waits up to `idleMs` for the next request's first byte; false on close, stop or timeout.
    bool WaitForRequest(int idleMs);
    // Forgets what was read so far: called before each request on the connection.
    void BeginRequest() {
        captured_.clear();
        handled_ = false;
        unrouted_ = false;
    }
    // Reads on until the captured bytes hold a whole request head (or `limit` bytes, the end
    // of the stream, a stop or the read timeout).
    void ReadRestOfHead(size_t limit);
    // Bytes read since BeginRequest, as received.
    const std::string& Captured() const { return captured_; }
    // Set once the site's handler has seen the current request (and recorded it).
    void MarkHandled() { handled_ = true; }
    bool Handled() const { return handled_; }
    // Set when the library answered the request without routing it (its head may be only
    // partly read, so the connection must not be used for another request).
    void MarkUnrouted() { unrouted_ = true; }
    bool Unrouted() const { return unrouted_; }

    // The stream of the connection whose request the calling thread is handling, or null.
    static ConnectionStream* Current();
    static void SetCurrent(ConnectionStream* stream);

private:
    bool Fill();
    bool WaitReadable(int timeoutMs) const;

    socket_t fd_;
    TlsSession* tls_;
    const std::atomic<bool>& stopping_;
    std::string buffer_;
    size_t bufferPos_ = 0;
    std::string captured_;
    bool handled_ = false;
    bool unrouted_ = false;
};

}  // namespace lumeno::demo
