// lumeno-site-host: runs local wallpaper sites on 127.0.0.1 for the Windows test programs,
// which cannot start them in their own process. A CTest fixture starts it and stops it:
//   lumeno-site-host --start <port file>  starts the host in the background and returns once
//                                         the host listens; its control port is in the file
//   lumeno-site-host --stop <port file>   asks that host to end
// The host also ends by itself after 30 minutes without a command, so a run that never reached
// its clean-up leaves nothing behind for long.
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "demo_site/demo_site.h"
#include "tests/windows/site_host/site_protocol.h"

namespace lumeno::demo {
namespace {

using protocol::Pack;

constexpr auto kIdleLimit = std::chrono::minutes(30);

bool SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// One line, at most 64 KiB, within 10 seconds.
bool ReadLine(int fd, std::string* line) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char c = 0;
    while (line->size() < 65536) {
        pollfd waiting{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        if (::recv(fd, &c, 1, 0) != 1) return false;
        if (c == '\n') return true;
        line->push_back(c);
    }
    return false;
}

class Host {
public:
    std::string Answer(const std::string& line, bool* quit) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb == "START") {
            int https = 0;
            SiteOptions options;
            words >> https >> options.pagesPerListing >> options.picturesPerPage;
            if (!words) return Error("bad START");
            options.https = https != 0;
            auto site = std::make_unique<DemoSite>(options);
            if (!site->Start()) return Error("site did not start");
            std::string body;
            std::lock_guard lock(mutex_);
            const int id = ++lastId_;
            Pack(body, id);
            Pack(body, site->Port());
            sites_[id] = std::move(site);
            return Ok(body);
        }
        if (verb == "REFUSING") {
            std::string body;
            Pack(body, RefusingPort());
            return Ok(body);
        }
        if (verb == "SEGMENTS") {
            std::string body;
            Pack(body, static_cast<long long>(CategorySegments().size()));
            for (const std::string& segment : CategorySegments()) Pack(body, segment);
            return Ok(body);
        }
        if (verb == "QUIT") {
            *quit = true;
            return Ok("");
        }
        int id = 0;
        words >> id;
        std::string rest;
        std::getline(words, rest);
        if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
        if (verb == "STOP") {
            std::unique_ptr<DemoSite> site;
            {
                std::lock_guard lock(mutex_);
                auto found = sites_.find(id);
                if (found != sites_.end()) {
                    site = std::move(found->second);
                    sites_.erase(found);
                }
            }
            if (site) site->Stop();
            return Ok("");
        }
        DemoSite* site = Find(id);
        if (site == nullptr) return Error("no such site");
        std::string body;
        if (verb == "REQUESTS") {
            const std::vector<RecordedRequest> requests = site->Requests();
            Pack(body, static_cast<long long>(requests.size()));
            for (const RecordedRequest& r : requests) {
                Pack(body, r.method);
                Pack(body, r.target);
                Pack(body, r.path);
                Pack(body, static_cast<long long>(r.headers.size()));
                for (const auto& [name, value] : r.headers) {
                    Pack(body, name);
                    Pack(body, value);
                }
                Pack(body, r.body);
                Pack(body, r.head);
            }
        } else if (verb == "CLEAR") {
            site->ClearRequests();
        } else if (verb == "THUMBNAILS" || verb == "FULLSIZE") {
            const std::vector<std::string> paths =
                verb == "THUMBNAILS" ? site->ThumbnailPaths(rest) : site->FullSizePaths(rest);
            Pack(body, static_cast<long long>(paths.size()));
            for (const std::string& path : paths) Pack(body, path);
        } else if (verb == "PICTURE") {
            body = site->PictureBytes(rest);
        } else {
            return Error("unknown command");
        }
        return Ok(body);
    }

    void StopAll() {
        std::map<int, std::unique_ptr<DemoSite>> sites;
        {
            std::lock_guard lock(mutex_);
            sites.swap(sites_);
        }
        for (auto& [id, site] : sites) site->Stop();
    }

private:
    static std::string Ok(const std::string& body) {
        return "OK " + std::to_string(body.size()) + "\n" + body;
    }
    static std::string Error(const std::string& reason) { return "ERR " + reason + "\n"; }

    DemoSite* Find(int id) {
        std::lock_guard lock(mutex_);
        auto found = sites_.find(id);
        return found == sites_.end() ? nullptr : found->second.get();
    }

    std::mutex mutex_;
    std::map<int, std::unique_ptr<DemoSite>> sites_;
    int lastId_ = 0;
};

int Listen(int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

// Serves until QUIT or the idle limit; each command on its own thread, since a site's Stop may
// take a moment.
void Serve(int listener) {
    Host host;
    std::atomic<bool> quit{false};
    std::atomic<std::int64_t> lastCommand{
        std::chrono::steady_clock::now().time_since_epoch().count()};
    while (!quit) {
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, 500) <= 0) {
            const auto idle = std::chrono::steady_clock::now().time_since_epoch() -
                              std::chrono::steady_clock::duration(lastCommand.load());
            if (idle > kIdleLimit) break;
            continue;
        }
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        lastCommand = std::chrono::steady_clock::now().time_since_epoch().count();
        std::thread([&host, &quit, client] {
            std::string line;
            if (ReadLine(client, &line)) {
                bool stop = false;
                SendAll(client, host.Answer(line, &stop));
                if (stop) quit = true;
            }
            ::close(client);
        }).detach();
    }
    ::close(listener);
    host.StopAll();
    // Commands still running hold a reference to `host`: give them a moment before it goes.
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

int ReadPort(const char* file) {
    std::ifstream in(file);
    int port = 0;
    in >> port;
    return in ? port : 0;
}

// Sends QUIT to the host whose port is in `file`; true when one answered.
bool AskToQuit(const char* file) {
    const int port = ReadPort(file);
    if (port <= 0) return false;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    bool answered = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        SendAll(fd, "QUIT\n")) {
        char reply[16];
        answered = ::recv(fd, reply, sizeof reply, 0) > 0;
    }
    ::close(fd);
    std::remove(file);
    return answered;
}

int Start(const char* file) {
    AskToQuit(file);  // a host left over from an earlier run
    int port = 0;
    const int listener = Listen(&port);
    if (listener < 0) {
        std::fprintf(stderr, "lumeno-site-host: cannot listen on 127.0.0.1\n");
        return 1;
    }
    const pid_t child = ::fork();
    if (child < 0) return 1;
    if (child > 0) {
        // The host listens already; the port file tells the test programs where.
        ::close(listener);
        std::ofstream(file) << port << "\n";
        std::printf("site host on 127.0.0.1:%d\n", port);
        return 0;
    }
    // The host: a session of its own, and no standard streams, so CTest does not wait for it.
    ::setsid();
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    std::signal(SIGPIPE, SIG_IGN);
    Serve(listener);
    std::_Exit(0);
}

}  // namespace
}  // namespace lumeno::demo

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) return lumeno::demo::Start(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--stop") == 0) {
        lumeno::demo::AskToQuit(argv[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: lumeno-site-host --start|--stop <port file>\n");
    return 2;
}
