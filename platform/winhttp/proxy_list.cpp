// Reading WinHTTP's named-proxy lists.
#include "platform/winhttp/proxy_list.h"

#include <vector>

#include "platform/codepage/codepage.h"

namespace lumeno::platform {
namespace {

std::vector<std::string_view> SplitEntries(std::string_view list) {
    std::vector<std::string_view> entries;
    std::size_t i = 0;
    while (i < list.size()) {
        const std::size_t end = list.find_first_of("; \t\r\n", i);
        const std::size_t stop = end == std::string_view::npos ? list.size() : end;
        if (stop > i) entries.push_back(list.substr(i, stop - i));
        i = stop + 1;
    }
    return entries;
}

// '*' matches any run of characters.
bool WildcardMatch(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return text.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= text.size(); ++skip) {
            if (WildcardMatch(pattern.substr(1), text.substr(skip))) return true;
        }
        return false;
    }
    return !text.empty() && AsciiLower(pattern.front()) == AsciiLower(text.front()) &&
           WildcardMatch(pattern.substr(1), text.substr(1));
}

}  // namespace

std::string ProxyForScheme(std::string_view list, bool secure) {
    const std::string_view wanted = secure ? "https" : "http";
    std::string_view chosen;
    bool chosenIsSpecific = false;
    for (std::string_view entry : SplitEntries(list)) {
        std::string_view server = entry;
        bool specific = false;
        const std::size_t equals = entry.find('=');
        if (equals != std::string_view::npos) {
            if (!EqualsAsciiIgnoreCase(entry.substr(0, equals), wanted)) continue;
            server = entry.substr(equals + 1);
            specific = true;
        }
        const std::size_t schemeMark = server.find("://");
        if (schemeMark != std::string_view::npos) server = server.substr(schemeMark + 3);
        while (!server.empty() && server.back() == '/') server.remove_suffix(1);
        if (server.empty()) continue;
        if (chosen.empty() || (specific && !chosenIsSpecific)) {
            chosen = server;
            chosenIsSpecific = specific;
        }
    }
    if (chosen.empty()) return {};
    std::string proxy = "http://" + std::string(chosen);
    const std::size_t bracket = chosen.rfind(']');
    const std::size_t colon = chosen.rfind(':');
    if (colon == std::string_view::npos || (bracket != std::string_view::npos && colon < bracket)) {
        proxy += ":80";
    }
    return proxy;
}

bool HostBypassesProxy(std::string_view bypassList, std::string_view host) {
    for (std::string_view entry : SplitEntries(bypassList)) {
        if (EqualsAsciiIgnoreCase(entry, "<local>")) {
            if (host.find('.') == std::string_view::npos) return true;
        } else if (WildcardMatch(entry, host)) {
            return true;
        }
    }
    return false;
}

}  // namespace lumeno::platform
