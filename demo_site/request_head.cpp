// Request head parsing for the local site's recording.
#include "demo_site/request_head.h"

namespace lumeno::demo {

void SplitTarget(const std::string& target, std::string& path, std::string& query) {
    std::string rest = target;
    const size_t scheme = rest.find("://");
    if (scheme != std::string::npos && rest.find('/') > scheme) {
        const size_t slash = rest.find('/', scheme + 3);
        const size_t mark = rest.find('?', scheme + 3);
        if (slash == std::string::npos || (mark != std::string::npos && mark < slash)) {
            rest = "/" + (mark == std::string::npos ? std::string() : rest.substr(mark));
        } else {
            rest = rest.substr(slash);
        }
    }
    const size_t mark = rest.find('?');
    path = rest.substr(0, mark);
    query = mark == std::string::npos ? "" : rest.substr(mark + 1);
}

RecordedRequest ParseHead(const std::string& raw) {
    RecordedRequest out;
    size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos) end = raw.size();
    out.head = raw.substr(0, end + 4);
    size_t lineStart = 0;
    bool first = true;
    while (lineStart < end) {
        size_t lineEnd = raw.find("\r\n", lineStart);
        if (lineEnd == std::string::npos || lineEnd > end) lineEnd = end;
        const std::string line = raw.substr(lineStart, lineEnd - lineStart);
        if (first) {
            const size_t a = line.find(' ');
            const size_t b = line.find(' ', a == std::string::npos ? a : a + 1);
            out.method = line.substr(0, a);
            if (a != std::string::npos)
                out.target =
                    line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
            first = false;
            std::string query;
            SplitTarget(out.target, out.path, query);
        } else {
            const size_t colon = line.find(':');
            std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
            const size_t valueStart = value.find_first_not_of(" \t");
            value = valueStart == std::string::npos ? "" : value.substr(valueStart);
            const size_t valueEnd = value.find_last_not_of(" \t");
            value = valueEnd == std::string::npos ? "" : value.substr(0, valueEnd + 1);
            out.headers.emplace_back(line.substr(0, colon), value);
        }
        lineStart = lineEnd + 2;
    }
    return out;
}

}  // namespace lumeno::demo
