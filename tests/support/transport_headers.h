// The header lines a server received, split into those the caller gave, in the order sent,
// and those the HTTP transport adds on its own (Host, Connection, Content-Length), sorted by
// name: where the transport puts its own lines is its choice (the system's WinHTTP sends them
// after the caller's, our stand-in sends Host first), which lines it adds is not.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumeno {

using HeaderLines = std::vector<std::pair<std::string, std::string>>;

struct SplitHeaderLines {
    HeaderLines given;
    HeaderLines added;
};

SplitHeaderLines SplitTransportHeaders(const HeaderLines& received);

// The lines of an echoed header block ("Name: value" each ended by CR LF) as pairs.
HeaderLines ParseHeaderBlock(std::string_view block);

}  // namespace lumeno
