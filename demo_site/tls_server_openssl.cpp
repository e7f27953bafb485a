// The HTTPS site on OpenSSL: self-signed certificate, server context and sessions.
#include "demo_site/tls_server.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <utility>

namespace lumeno::demo {
namespace {

struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertDeleter {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct ExtensionDeleter {
    void operator()(X509_EXTENSION* ext) const { X509_EXTENSION_free(ext); }
};
struct SslCtxDeleter {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
using SslCtxPtr = std::unique_ptr<SSL_CTX, SslCtxDeleter>;
struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

bool AddExtension(X509* cert, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, ExtensionDeleter> ext(
        X509V3_EXT_conf_nid(nullptr, &ctx, nid, value));
    return ext && X509_add_ext(cert, ext.get(), -1) == 1;
}

// Null when OpenSSL could not make the key, the certificate or the context.
SslCtxPtr MakeSelfSignedServerContext() {
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(EVP_EC_gen("P-256"));
    std::unique_ptr<X509, CertDeleter> cert(X509_new());
    if (!key || !cert) return nullptr;
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600L);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 365L * 24 * 3600);
    X509_set_pubkey(cert.get(), key.get());
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    if (!AddExtension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost") ||
        !AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE")) {
        return nullptr;
    }
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) return nullptr;

    SslCtxPtr ctx(SSL_CTX_new(TLS_server_method()));
    if (!ctx) return nullptr;
    if (SSL_CTX_use_certificate(ctx.get(), cert.get()) != 1 ||
        SSL_CTX_use_PrivateKey(ctx.get(), key.get()) != 1 ||
        SSL_CTX_check_private_key(ctx.get()) != 1) {
        return nullptr;
    }
    return ctx;
}

class OpenSslSession final : public TlsSession {
public:
    explicit OpenSslSession(std::unique_ptr<SSL, SslDeleter> ssl) : ssl_(std::move(ssl)) {}
    bool HasPending() const override { return SSL_pending(ssl_.get()) > 0; }
    long Read(char* buffer, std::size_t size) override {
        return SSL_read(ssl_.get(), buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
    }
    long Write(const char* data, std::size_t size) override {
        return SSL_write(ssl_.get(), data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
    }
    void Close() override { SSL_shutdown(ssl_.get()); }

private:
    std::unique_ptr<SSL, SslDeleter> ssl_;
};

class OpenSslServer final : public TlsServer {
public:
    explicit OpenSslServer(SslCtxPtr context) : context_(std::move(context)) {}
    std::unique_ptr<TlsSession> Accept(socket_t socket) override {
        std::unique_ptr<SSL, SslDeleter> ssl(SSL_new(context_.get()));
        if (!ssl || SSL_set_fd(ssl.get(), socket) != 1 || SSL_accept(ssl.get()) != 1) {
            return nullptr;
        }
        return std::make_unique<OpenSslSession>(std::move(ssl));
    }

private:
    SslCtxPtr context_;
};

}  // namespace

std::unique_ptr<TlsServer> MakeTlsServer(std::string& error) {
    SslCtxPtr context = MakeSelfSignedServerContext();
    if (!context) {
        error = "OpenSSL could not make the site's certificate";
        return nullptr;
    }
    return std::make_unique<OpenSslServer>(std::move(context));
}

}  // namespace lumeno::demo
