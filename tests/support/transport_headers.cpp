// Splitting received header lines into the caller's and the transport's own.
#include "tests/support/transport_headers.h"

#include <algorithm>
#include <cctype>

namespace lumeno {
namespace {

bool IsTransportHeader(std::string_view name) {
    static constexpr std::string_view kOwn[] = {"host", "connection", "content-length"};
    return std::any_of(std::begin(kOwn), std::end(kOwn), [&](std::string_view own) {
        return own.size() == name.size() &&
               std::equal(own.begin(), own.end(), name.begin(), [](char a, char b) {
                   return a == std::tolower(static_cast<unsigned char>(b));
               });
    });
}

}  // namespace

SplitHeaderLines SplitTransportHeaders(const HeaderLines& received) {
    SplitHeaderLines split;
    for (const auto& line : received) {
        (IsTransportHeader(line.first) ? split.added : split.given).push_back(line);
    }
    std::sort(split.added.begin(), split.added.end());
    return split;
}

HeaderLines ParseHeaderBlock(std::string_view block) {
    HeaderLines lines;
    while (!block.empty()) {
        const std::size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
        if (line.empty()) continue;
        const std::size_t colon = line.find(':');
        std::string_view value =
            colon == std::string_view::npos ? std::string_view() : line.substr(colon + 1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        lines.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    }
    return lines;
}

}  // namespace lumeno
