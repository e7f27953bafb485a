// The HTTPS side of the local site: a TLS server with a self-signed certificate for 127.0.0.1
// and localhost, made in memory each time the HTTPS site starts (nothing is written to disk),
// and one TLS session per accepted connection. OpenSSL on Linux (tls_server_openssl.cpp); the
// Windows build serves plain HTTP only (tls_server_unavailable.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <httplib.h>

namespace lumeno::demo {

class TlsSession {
public:
    virtual ~TlsSession() = default;
    // Decrypted bytes are waiting, so a read returns without touching the socket.
    virtual bool HasPending() const = 0;
    // As recv/send: bytes moved, 0 at the end of the stream, negative on failure.
    virtual long Read(char* buffer, std::size_t size) = 0;
    virtual long Write(const char* data, std::size_t size) = 0;
    // Says goodbye to the peer (close_notify); the socket stays open.
    virtual void Close() = 0;
};

class TlsServer {
public:
    virtual ~TlsServer() = default;
    // The handshake on an accepted socket; null when it fails. The session does not own the
    // socket.
    virtual std::unique_ptr<TlsSession> Accept(socket_t socket) = 0;
};

// Null with `error` set when the key, the certificate or the context could not be made, or
// when this build has no TLS.
std::unique_ptr<TlsServer> MakeTlsServer(std::string& error);

}  // namespace lumeno::demo
