// Socket and TLS reads and writes for one connection of the local site.
#include "demo_site/connection_stream.h"

#include <algorithm>
#include <chrono>

#include "demo_site/site_socket.h"

namespace lumeno::demo {
namespace {

constexpr int kSliceMs = 50;
constexpr int kReadTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 5000;

thread_local ConnectionStream* currentStream = nullptr;

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    ip = text;
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t fd, TlsSession* tls, const std::atomic<bool>& stopping)
    : fd_(fd), tls_(tls), stopping_(stopping) {}

ConnectionStream* ConnectionStream::Current() {
    return currentStream;
}
void ConnectionStream::SetCurrent(ConnectionStream* stream) {
    currentStream = stream;
}

bool ConnectionStream::WaitReadable(int timeoutMs) const {
    if (bufferPos_ < buffer_.size()) return true;
    if (tls_ != nullptr && tls_->HasPending()) return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!stopping_) {
        const SocketWait wait = WaitForSocket(fd_, false, kSliceMs);
        if (wait == SocketWait::Ready) return true;  // the read tells what arrived
        if (wait == SocketWait::Failed) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
    return false;
}

bool ConnectionStream::WaitForRequest(int idleMs) {
    return WaitReadable(idleMs) && Fill();
}

bool ConnectionStream::Fill() {
    if (bufferPos_ < buffer_.size()) return true;
    if (!WaitReadable(kReadTimeoutMs)) return false;
    char chunk[16384];
    const long n =
        tls_ != nullptr ? tls_->Read(chunk, sizeof chunk) : ReceiveSome(fd_, chunk, sizeof chunk);
    if (n <= 0) return false;
    buffer_.assign(chunk, static_cast<size_t>(n));
    bufferPos_ = 0;
    return true;
}

bool ConnectionStream::is_readable() const {
    return WaitReadable(kReadTimeoutMs);
}

bool ConnectionStream::is_writable() const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (!stopping_) {
        const SocketWait wait = WaitForSocket(fd_, true, kSliceMs);
        if (wait == SocketWait::Ready) return true;
        if (wait != SocketWait::TimedOut) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
    return false;
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (size == 0) return 0;
    if (!Fill()) return -1;
    const size_t n = std::min(size, buffer_.size() - bufferPos_);
    std::copy_n(buffer_.data() + bufferPos_, n, ptr);
    captured_.append(buffer_, bufferPos_, n);
    bufferPos_ += n;
    return static_cast<ssize_t>(n);
}

void ConnectionStream::ReadRestOfHead(size_t limit) {
    if (captured_.find("\r\n\r\n") != std::string::npos) return;
    // One byte at a time, so that nothing after the head is taken and only the tail needs
    // looking at.
    char byte;
    while (captured_.size() < limit) {
        if (read(&byte, 1) != 1) return;
        if (captured_.size() >= 4 && captured_.compare(captured_.size() - 4, 4, "\r\n\r\n") == 0) {
            return;
        }
    }
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    size_t written = 0;
    while (written < size) {
        if (!is_writable()) return written > 0 ? static_cast<ssize_t>(written) : -1;
        long n;
        if (tls_ != nullptr) {
            n = tls_->Write(ptr + written, size - written);
        } else {
            n = SendSome(fd_, ptr + written, size - written);
            if (n == 0) continue;
        }
        if (n <= 0) return written > 0 ? static_cast<ssize_t>(written) : -1;
        written += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(written);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

}  // namespace lumeno::demo
