// DemoSite for the Windows test programs: the same class as on Linux, but each site runs in the
// native site host (tests/windows/site_host) and this side only asks for it over loopback. The
// host's control port is in the file that LUMENO_SITE_HOST names (set by the CTest fixture).
#include "demo_site/demo_site.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>

#include "tests/windows/site_host/site_protocol.h"

namespace lumeno::demo {
namespace {

using protocol::Unpacker;

// Winsock, started once for the process.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

int HostPort() {
    static const int port = [] {
        const char* file = std::getenv("LUMENO_SITE_HOST");
        if (file == nullptr) return 0;
        std::ifstream in(file);
        int value = 0;
        in >> value;
        return in ? value : 0;
    }();
    return port;
}

bool SendAll(SOCKET s, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const int n = ::send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// One command; the answer's body, or nothing when the host is missing or refused it.
std::optional<std::string> Ask(const std::string& command) {
    if (!StartWinsock() || HostPort() == 0) return std::nullopt;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return std::nullopt;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(HostPort()));
    std::string answer;
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        SendAll(s, command + "\n")) {
        char buffer[16384];
        for (;;) {
            const int n = ::recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            answer.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::closesocket(s);
    const std::size_t newline = answer.find('\n');
    if (newline == std::string::npos || answer.rfind("OK ", 0) != 0) return std::nullopt;
    const std::size_t length = std::strtoull(answer.c_str() + 3, nullptr, 10);
    if (answer.size() - newline - 1 != length) return std::nullopt;
    return answer.substr(newline + 1);
}

std::vector<std::string> PathList(const std::optional<std::string>& body) {
    std::vector<std::string> paths;
    if (!body) return paths;
    Unpacker values(*body);
    const long long count = values.NextNumber().value_or(0);
    for (long long i = 0; i < count; ++i) {
        std::optional<std::string> path = values.Next();
        if (!path) break;
        paths.push_back(std::move(*path));
    }
    return paths;
}

}  // namespace

class DemoSite::Impl {
public:
    explicit Impl(SiteOptions options) : options(options) {}

    SiteOptions options;
    std::mutex mutex;
    int id = 0;
    int port = 0;
    bool started = false;
};

const std::vector<std::string>& CategorySegments() {
    static const std::vector<std::string> segments = PathList(Ask("SEGMENTS"));
    return segments;
}

DemoSite::DemoSite(SiteOptions options) : impl_(std::make_unique<Impl>(options)) {}

DemoSite::~DemoSite() {
    Stop();
}

bool DemoSite::Start() {
    std::lock_guard lock(impl_->mutex);
    // A fixed port cannot be honoured by a host that picks its sites' ports itself.
    if (impl_->started || impl_->options.port != 0) return false;
    const std::optional<std::string> body =
        Ask("START " + std::to_string(impl_->options.https ? 1 : 0) + " " +
            std::to_string(impl_->options.pagesPerListing) + " " +
            std::to_string(impl_->options.picturesPerPage));
    if (!body) return false;
    Unpacker values(*body);
    const std::optional<long long> id = values.NextNumber();
    const std::optional<long long> port = values.NextNumber();
    if (!id || !port) return false;
    impl_->id = static_cast<int>(*id);
    impl_->port = static_cast<int>(*port);
    impl_->started = true;
    return true;
}

std::string DemoSite::StartError() const {
    std::lock_guard lock(impl_->mutex);
    if (impl_->started) return {};
    return impl_->options.port != 0 ? "the site host picks its sites' ports itself"
                                    : "the site host started no site";
}

void DemoSite::Stop() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->id != 0) Ask("STOP " + std::to_string(impl_->id));
    impl_->id = 0;
}

int DemoSite::Port() const {
    return impl_->port;
}

std::string DemoSite::BaseUrl() const {
    return std::string(impl_->options.https ? "https" : "http") +
           "://127.0.0.1:" + std::to_string(impl_->port);
}

std::vector<RecordedRequest> DemoSite::Requests() const {
    std::vector<RecordedRequest> requests;
    const std::optional<std::string> body = Ask("REQUESTS " + std::to_string(impl_->id));
    if (!body) return requests;
    Unpacker values(*body);
    const long long count = values.NextNumber().value_or(0);
    for (long long i = 0; i < count; ++i) {
        RecordedRequest r;
        std::optional<std::string> method = values.Next(), target = values.Next(),
                                   path = values.Next();
        const std::optional<long long> headers = values.NextNumber();
        if (!method || !target || !path || !headers) break;
        r.method = *method;
        r.target = *target;
        r.path = *path;
        for (long long h = 0; h < *headers; ++h) {
            std::optional<std::string> name = values.Next(), value = values.Next();
            if (!name || !value) break;
            r.headers.emplace_back(std::move(*name), std::move(*value));
        }
        std::optional<std::string> requestBody = values.Next(), head = values.Next();
        if (!requestBody || !head) break;
        r.body = std::move(*requestBody);
        r.head = std::move(*head);
        requests.push_back(std::move(r));
    }
    return requests;
}

void DemoSite::ClearRequests() {
    Ask("CLEAR " + std::to_string(impl_->id));
}

std::vector<std::string> DemoSite::ThumbnailPaths(const std::string& listingPath) const {
    return PathList(Ask("THUMBNAILS " + std::to_string(impl_->id) + " " + listingPath));
}

std::vector<std::string> DemoSite::FullSizePaths(const std::string& listingPath) const {
    return PathList(Ask("FULLSIZE " + std::to_string(impl_->id) + " " + listingPath));
}

std::string DemoSite::PictureBytes(const std::string& path) const {
    return Ask("PICTURE " + std::to_string(impl_->id) + " " + path).value_or(std::string());
}

int RefusingPort() {
    const std::optional<std::string> body = Ask("REFUSING");
    if (!body) return 0;
    return static_cast<int>(Unpacker(*body).NextNumber().value_or(0));
}

}  // namespace lumeno::demo
