// Reading WinHTTP's named-proxy lists: which proxy serves a URL scheme, and which hosts bypass it.
#pragma once

#include <string>
#include <string_view>

namespace lumeno::platform {

// The list holds entries "[<scheme>=][<scheme>://]<server>[:<port>]" separated by ';' or
// whitespace. An entry with "http=" or "https=" serves only that scheme, one without serves
// both; a scheme's own entry wins over a plain one. Returns the proxy as "http://server:port"
// (port 80 when the entry names none), or empty when no entry serves the scheme.
std::string ProxyForScheme(std::string_view list, bool secure);

// True when `host` matches an entry of the bypass list (';' or whitespace separated, ASCII
// case ignored, "*" wildcards allowed; "<local>" matches host names without a dot).
bool HostBypassesProxy(std::string_view bypassList, std::string_view host);

}  // namespace lumeno::platform
