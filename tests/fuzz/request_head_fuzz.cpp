// The local site's request head parser on any bytes: the head it keeps is where the bytes
// begin, parsing that head again gives the same request, and the path of the target never
// holds its query.
#include "demo_site/request_head.h"
#include "tests/fuzz/fuzz_input.h"

using lumeno::demo::ParseHead;
using lumeno::demo::RecordedRequest;
using lumeno::demo::SplitTarget;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 65536));
    const RecordedRequest request = ParseHead(raw);
    FUZZ_CHECK(raw.compare(0, request.head.size(), request.head) == 0);
    FUZZ_CHECK(request.method.find(' ') == std::string::npos);
    FUZZ_CHECK(request.target.find(' ') == std::string::npos);
    FUZZ_CHECK(request.headers.size() <= request.head.size() / 2 + 1);

    const RecordedRequest again = ParseHead(request.head);
    FUZZ_CHECK(again.method == request.method && again.target == request.target);
    FUZZ_CHECK(again.path == request.path && again.headers == request.headers);
    FUZZ_CHECK(again.head == request.head);

    std::string path, query;
    SplitTarget(request.target, path, query);
    FUZZ_CHECK(path == request.path);
    FUZZ_CHECK(path.find('?') == std::string::npos);
    if (!request.target.empty() && request.target[0] == '/') {
        FUZZ_CHECK(request.target.compare(0, path.size(), path) == 0);
        if (request.target.size() > path.size())
            FUZZ_CHECK(request.target.substr(path.size() + 1) == query);
    }
    return 0;
}
