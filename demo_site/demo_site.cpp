// Life cycle of the local site: binding, the connection loop on top of httplib's request
// handling, request recording and a stop that does not wait for stalled answers.
#include "demo_site/demo_site.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include <httplib.h>

#include "demo_site/connection_stream.h"
#include "demo_site/endpoints.h"
#include "demo_site/request_head.h"
#include "demo_site/site_catalog.h"
#include "demo_site/tls_identity.h"

namespace lumeno::demo {
namespace {

constexpr int kKeepAliveIdleMs = 5000;
constexpr size_t kWorkerThreads = 32;
constexpr size_t kMaxHeadBytes = 64 * 1024;

struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

}  // namespace

class DemoSite::Impl {
public:
    explicit Impl(SiteOptions options)
        : options_(options), catalog_(options.pagesPerListing, options.picturesPerPage) {}

    // httplib server whose connections run through our own loop, so that requests can be seen
    // as they arrived and every wait ends when the site stops.
    class Server : public httplib::Server {
    public:
        explicit Server(Impl& owner) : owner_(owner) {}
        bool HandleRequest(httplib::Stream& strm, bool& closed) {
            return process_request(strm, false, closed, nullptr);
        }

    private:
        bool process_and_close_socket(int sock) override {
            owner_.ServeConnection(sock);
            return true;
        }
        Impl& owner_;
    };

    bool Start();
    void Stop();
    void ServeConnection(int fd);
    void Handle(const httplib::Request& req, httplib::Response& res);
    void Record(RecordedRequest record) {
        std::lock_guard<std::mutex> lock(requestsMutex_);
        requests_.push_back(std::move(record));
    }
    // Records the current connection's request if Handle has not: what arrived is all there is.
    void RecordUnhandled() {
        ConnectionStream* stream = ConnectionStream::Current();
        if (stream == nullptr || stream->Handled() ||
            stream->Captured().find("\r\n") == std::string::npos) {
            return;
        }
        stream->MarkHandled();
        stream->MarkUnrouted();
        stream->ReadRestOfHead(kMaxHeadBytes);
        Record(ParseHead(stream->Captured()));
    }
    bool Pause(int ms) {
        std::unique_lock<std::mutex> lock(stopMutex_);
        return !stopCv_.wait_for(lock, std::chrono::milliseconds(ms),
                                 [this] { return stopping_.load(); });
    }

    SiteOptions options_;
    SiteCatalog catalog_;
    std::unique_ptr<Server> server_;
    SslCtxPtr sslContext_;
    std::thread listener_;
    int port_ = 0;
    bool started_ = false;
    std::atomic<bool> stopping_{false};
    std::mutex stopMutex_;
    std::condition_variable stopCv_;
    std::mutex connectionsMutex_;
    std::set<int> connections_;
    mutable std::mutex requestsMutex_;
    std::vector<RecordedRequest> requests_;
};

bool DemoSite::Impl::Start() {
    if (started_) return false;
    started_ = true;
    if (options_.https) {
        sslContext_ = MakeSelfSignedServerContext();
        if (!sslContext_) return false;
    }
    server_ = std::make_unique<Server>(*this);
    server_->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // The library's default also sets SO_REUSEPORT, which lets a second site bind a port that
    // is in use and then take over part of its connections. Only SO_REUSEADDR is wanted: a
    // restarted site may reuse its port at once, a port in use is refused.
    server_->set_socket_options([](int sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        Handle(req, res);
    };
    // Every path is routed to Handle, which does its own routing from the request as received.
    server_->Get(".*", handler);
    server_->Post(".*", handler);
    server_->Put(".*", handler);
    server_->Patch(".*", handler);
    server_->Delete(".*", handler);
    server_->Options(".*", handler);
    // Requests the library answers by itself (an unknown method, a malformed head) are
    // recorded here, before their answer leaves, and get an HTML body like every other error.
    server_->set_error_handler([this](const httplib::Request&, httplib::Response& res) {
        ConnectionStream* stream = ConnectionStream::Current();
        if (stream != nullptr && stream->Handled()) return;  // Respond made the body already
        RecordUnhandled();
        res.set_content("<html><body><h1>" + std::to_string(res.status) + "</h1></body></html>\n",
                        "text/html");
    });
    if (options_.port == 0) {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) return false;
    } else {
        if (!server_->bind_to_port("127.0.0.1", options_.port)) return false;
        port_ = options_.port;
    }
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return server_->is_running();
}

void DemoSite::Impl::Stop() {
    if (!server_) return;
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopping_ = true;
    }
    stopCv_.notify_all();
    {
        // Blocked reads, writes and TLS handshakes return at once on a shut-down socket.
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        for (int fd : connections_) ::shutdown(fd, SHUT_RDWR);
    }
    server_->stop();
    if (listener_.joinable()) listener_.join();
    server_.reset();
}

void DemoSite::Impl::ServeConnection(int fd) {
    {
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        connections_.insert(fd);
    }
    // Bounds a TLS handshake from a client that never speaks.
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    // An answer goes out in several writes (head, then body): without this, a client that
    // reuses the connection waits for a delayed acknowledgement on every request.
    int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);

    std::unique_ptr<SSL, SslDeleter> ssl;
    bool ready = true;
    if (sslContext_) {
        ssl.reset(SSL_new(sslContext_.get()));
        ready = ssl && SSL_set_fd(ssl.get(), fd) == 1 && SSL_accept(ssl.get()) == 1;
    }
    if (ready) {
        ConnectionStream stream(fd, ssl.get(), stopping_);
        ConnectionStream::SetCurrent(&stream);
        while (!stopping_ && stream.WaitForRequest(kKeepAliveIdleMs)) {
            stream.BeginRequest();
            bool closed = false;
            const bool keep = server_->HandleRequest(stream, closed);
            RecordUnhandled();  // one the library dropped without an answer
            if (!keep || closed || stream.Unrouted()) break;
        }
        ConnectionStream::SetCurrent(nullptr);
        if (ssl && !stopping_) SSL_shutdown(ssl.get());
    }
    {
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        connections_.erase(fd);
        ::close(fd);
    }
}

void DemoSite::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
    ConnectionStream* stream = ConnectionStream::Current();
    RecordedRequest record = ParseHead(stream != nullptr ? stream->Captured() : std::string());
    if (stream != nullptr) stream->MarkHandled();
    if (record.method.empty()) {
        record.method = req.method;
        record.target = req.target;
        record.path = req.path;
    }
    std::string path, query;
    SplitTarget(record.target, path, query);
    record.body = req.body;
    Record(record);
    EndpointContext context{catalog_,
                            [this](int ms) { return Pause(ms); },
                            [stream] {
                                if (stream != nullptr) ::shutdown(stream->socket(), SHUT_RDWR);
                            },
                            [this, stream](const std::string& bytes) {
                                return stream != nullptr && !stopping_ &&
                                       stream->write(bytes.data(), bytes.size()) ==
                                           static_cast<ssize_t>(bytes.size());
                            },
                            options_.hostileListings,
                            options_.hostilePictures};
    Respond(record, query, context, res);
}

const std::vector<std::string>& CategorySegments() {
    static const std::vector<std::string> kSegments = {
        "youxi", "donman", "fengjing", "meinv", "yingshi", "paoche", "mengwu", "meishi", "xitong"};
    return kSegments;
}

DemoSite::DemoSite(SiteOptions options) : impl_(std::make_unique<Impl>(options)) {}
DemoSite::~DemoSite() {
    Stop();
}
bool DemoSite::Start() {
    return impl_->Start();
}
void DemoSite::Stop() {
    impl_->Stop();
}
int DemoSite::Port() const {
    return impl_->port_;
}

std::string DemoSite::BaseUrl() const {
    return std::string(impl_->options_.https ? "https" : "http") +
           "://127.0.0.1:" + std::to_string(impl_->port_);
}

std::vector<RecordedRequest> DemoSite::Requests() const {
    std::lock_guard<std::mutex> lock(impl_->requestsMutex_);
    return impl_->requests_;
}

void DemoSite::ClearRequests() {
    std::lock_guard<std::mutex> lock(impl_->requestsMutex_);
    impl_->requests_.clear();
}

std::vector<std::string> DemoSite::ThumbnailPaths(const std::string& listingPath) const {
    std::vector<std::string> out;
    if (auto page = impl_->catalog_.ParseListingPath(listingPath)) {
        for (const auto& entry : impl_->catalog_.Pictures(*page))
            out.push_back(entry.ThumbnailPath());
    }
    return out;
}

std::vector<std::string> DemoSite::FullSizePaths(const std::string& listingPath) const {
    std::vector<std::string> out;
    if (auto page = impl_->catalog_.ParseListingPath(listingPath)) {
        for (const auto& entry : impl_->catalog_.Pictures(*page))
            out.push_back(entry.FullSizePath());
    }
    return out;
}

std::string DemoSite::PictureBytes(const std::string& path) const {
    if (auto page = impl_->catalog_.ParseListingPath(path)) return impl_->catalog_.PageHtml(*page);
    return impl_->catalog_.ImageBytes(path).value_or(std::string());
}

int RefusingPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

}  // namespace lumeno::demo
