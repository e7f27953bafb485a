// Parsing of a request head as it arrived on the wire: request line, header lines in order,
// and the path and query of origin-form and absolute-form targets.
#pragma once

#include <string>

#include "demo_site/demo_site.h"

namespace lumeno::demo {

// Path and query of a request-target. An absolute-form target ("http://host:port/p?q", as a
// client sends it to a forward proxy) gives the path and query of its address; a host without
// a path gives "/". Neither part is percent-decoded.
void SplitTarget(const std::string& target, std::string& path, std::string& query);

// Method, target, path, header lines (names as sent, values without surrounding blanks) and
// the head itself up to and including its empty line. The body is left empty.
RecordedRequest ParseHead(const std::string& raw);

}  // namespace lumeno::demo
