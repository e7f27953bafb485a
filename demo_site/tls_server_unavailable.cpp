// The Windows build of the local site serves plain HTTP only: its program is what the Windows
// package bundles, and the bundled program reaches the site over http://127.0.0.1:8808.
#include "demo_site/tls_server.h"

namespace lumeno::demo {

std::unique_ptr<TlsServer> MakeTlsServer(std::string& error) {
    error = "HTTPS is not available in the Windows build of the site (it serves plain HTTP only)";
    return nullptr;
}

}  // namespace lumeno::demo
