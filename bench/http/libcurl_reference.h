// libcurl driven directly in this process, as the reference the transports are measured
// against: the same loopback site, the same GET, the body handed back in memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lumeno::bench {

// Fetches `url` on a fresh easy handle, so over a connection of its own that is closed when the
// handle goes, and appends the body to *body. `headers` are sent in place of libcurl's own
// (an "Accept: */*" line), so the server gets the same request as from the transport measured
// beside it. False when the transfer failed.
bool FetchOnNewConnection(const std::string& url, std::string* body,
                          const std::vector<std::string>& headers = {});

// A body that arrived into one buffer grown with realloc as pieces come in, the way a libcurl
// client keeps a download in memory.
struct MemoryBody {
    MemoryBody() = default;
    ~MemoryBody();
    MemoryBody(const MemoryBody&) = delete;
    MemoryBody& operator=(const MemoryBody&) = delete;

    char* data = nullptr;
    std::size_t size = 0;
};

// Fetches `url` on a fresh easy handle into *body. False when the transfer failed.
bool FetchIntoMemory(const std::string& url, MemoryBody* body);

// One easy handle kept across calls, so libcurl reuses its connection: the strictest reference.
class ReusedConnection {
public:
    ReusedConnection();
    ~ReusedConnection();
    ReusedConnection(const ReusedConnection&) = delete;
    ReusedConnection& operator=(const ReusedConnection&) = delete;

    bool Fetch(const std::string& url, std::string* body);

private:
    void* easy_;
};

}  // namespace lumeno::bench
