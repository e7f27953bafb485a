// A TLS server context with a self-signed certificate for 127.0.0.1 and localhost, made in
// memory with OpenSSL each time the HTTPS site starts (nothing is written to disk).
#pragma once

#include <memory>

#include <openssl/ssl.h>

namespace lumeno::demo {

struct SslCtxDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using SslCtxPtr = std::unique_ptr<SSL_CTX, SslCtxDeleter>;

// Null when OpenSSL could not make the key, the certificate or the context.
SslCtxPtr MakeSelfSignedServerContext();

}  // namespace lumeno::demo
