// Life cycle of the local site: binding, the connection loop on top of httplib's request
// handling, request recording and a stop that does not wait for stalled answers.
#include "demo_site/demo_site.h"

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
#include "demo_site/site_socket.h"
#include "demo_site/tls_server.h"

namespace lumeno::demo {
namespace {

constexpr int kKeepAliveIdleMs = 5000;
constexpr size_t kWorkerThreads = 32;
constexpr size_t kMaxHeadBytes = 64 * 1024;
// Bounds a TLS handshake from a client that never speaks.
constexpr int kConnectionTimeoutSeconds = 10;

// Why a fixed port could not be bound, for the person who started the site.
std::string BindFailure(int port) {
    const std::string where = "port " + std::to_string(port) + " on 127.0.0.1";
    const PortCheck check = CheckLoopbackPort(port);
    switch (check.result) {
        case PortCheck::InUse:
            return where +
                   " is already in use by another program (perhaps a site started before); "
                   "close that program and start again";
        case PortCheck::Denied:
            return where + " may not be used: the system refused it (access denied)";
        case PortCheck::Failed:
            return where + " cannot be listened on: " + check.detail;
        case PortCheck::Free:
            break;
    }
    return "cannot listen on " + where;
}

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
        bool process_and_close_socket(socket_t sock) override {
            owner_.ServeConnection(sock);
            return true;
        }
        Impl& owner_;
    };

    bool Start();
    void Stop();
    void ServeConnection(socket_t fd);
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
    std::unique_ptr<TlsServer> tlsServer_;
    std::string startError_;
    std::thread listener_;
    int port_ = 0;
    bool started_ = false;
    std::atomic<bool> stopping_{false};
    std::mutex stopMutex_;
    std::condition_variable stopCv_;
    std::mutex connectionsMutex_;
    std::set<socket_t> connections_;
    mutable std::mutex requestsMutex_;
    std::vector<RecordedRequest> requests_;
};

bool DemoSite::Impl::Start() {
    if (started_) return false;
    started_ = true;
    if (options_.https) {
        tlsServer_ = MakeTlsServer(startError_);
        if (!tlsServer_) return false;
    }
    server_ = std::make_unique<Server>(*this);
    server_->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // The library's default also sets SO_REUSEPORT, which lets a second site bind a port that
    // is in use and then take over part of its connections: a restarted site may reuse its port
    // at once, a port in use is refused.
    server_->set_socket_options([](socket_t sock) { SetListenerOptions(sock); });
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
        if (port_ <= 0) {
            startError_ = "no free port on 127.0.0.1";
            return false;
        }
    } else {
        if (!server_->bind_to_port("127.0.0.1", options_.port)) {
            startError_ = BindFailure(options_.port);
            return false;
        }
        port_ = options_.port;
    }
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!server_->is_running()) startError_ = "the server did not start listening";
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
        for (socket_t fd : connections_) ShutdownSocket(fd);
    }
    server_->stop();
    if (listener_.joinable()) listener_.join();
    server_.reset();
}

void DemoSite::Impl::ServeConnection(socket_t fd) {
    {
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        if (stopping_) {
            CloseSocket(fd);
            return;
        }
        connections_.insert(fd);
    }
    // No delayed small writes: an answer goes out in several writes (head, then body), and a
    // client that reuses the connection would wait for a delayed acknowledgement on every one.
    SetConnectionOptions(fd, kConnectionTimeoutSeconds);

    std::unique_ptr<TlsSession> tls;
    bool ready = true;
    if (tlsServer_) {
        tls = tlsServer_->Accept(fd);
        ready = tls != nullptr;
    }
    if (ready) {
        ConnectionStream stream(fd, tls.get(), stopping_);
        ConnectionStream::SetCurrent(&stream);
        while (!stopping_ && stream.WaitForRequest(kKeepAliveIdleMs)) {
            stream.BeginRequest();
            bool closed = false;
            const bool keep = server_->HandleRequest(stream, closed);
            RecordUnhandled();  // one the library dropped without an answer
            if (!keep || closed || stream.Unrouted()) break;
        }
        ConnectionStream::SetCurrent(nullptr);
        if (tls && !stopping_) tls->Close();
    }
    {
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        connections_.erase(fd);
        CloseSocket(fd);
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
                                if (stream != nullptr) ShutdownSocket(stream->socket());
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
std::string DemoSite::StartError() const {
    return impl_->startError_;
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
    return UnusedLoopbackPort();
}

}  // namespace lumeno::demo
