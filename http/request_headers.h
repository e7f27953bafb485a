// What is decided about a request before it goes on the network: verb, body, timeout and the
// header block (default header set, capitalised names, Connection line, Cookie line).
#pragma once

#include "util/text_types.h"

namespace lumeno {

// The verb for a method number: 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE,
// 7 CONNECT; any other number gives "GET".
Text RequestVerb(int method);

// bodyBytes when it holds at least one byte, otherwise the bytes of bodyText (no terminator).
ByteSet RequestBody(const ByteSet& bodyBytes, const Text& bodyText);

// timeoutSeconds * 1000 when positive (capped at the largest int), otherwise 30000.
int RequestTimeoutMilliseconds(int timeoutSeconds);

// The header block handed to the session transport: the caller's lines, the default header set
// (when addDefaultHeaders is non-zero), capitalised names (when normaliseHeaderNames is
// non-zero), without a "Connection: keep-alive" line, and with a Cookie line built from cookies.
Text AssembleRequestHeaders(const Text& headers, int method, const Text& cookies,
                            int addDefaultHeaders, int normaliseHeaderNames);

// Every header name capitalised piece by piece ("x-requested-with" -> "X-Requested-With"),
// every line without a colon and every empty line dropped, lines joined by CR LF with none
// after the last.
Text CapitaliseHeaderNames(const Text& headerText);

// The value of the first line that begins with `name` (case-sensitive): the text after the last
// "<name>: " in that line, or empty.
Text HeaderValue(const Text& headerText, const Text& name);

}  // namespace lumeno
