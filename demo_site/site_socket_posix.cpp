// The local site's socket calls on POSIX sockets.
#include "demo_site/site_socket.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumeno::demo {
SocketWait WaitForSocket(socket_t socket, bool forWriting, int timeoutMs) {
    pollfd entry{socket, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = ::poll(&entry, 1, timeoutMs);
    if (ready < 0) return errno == EINTR ? SocketWait::TimedOut : SocketWait::Failed;
    if (ready == 0) return SocketWait::TimedOut;
    if (forWriting && (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return SocketWait::Broken;
    }
    return SocketWait::Ready;
}

long ReceiveSome(socket_t socket, char* buffer, std::size_t size) {
    ssize_t n;
    do {
        n = ::recv(socket, buffer, size, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long SendSome(socket_t socket, const char* data, std::size_t size) {
    const ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    return static_cast<long>(n);
}

void ShutdownSocket(socket_t socket) {
    ::shutdown(socket, SHUT_RDWR);
}

void CloseSocket(socket_t socket) {
    ::close(socket);
}

void SetListenerOptions(socket_t socket) {
    int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void SetConnectionOptions(socket_t socket, int seconds) {
    timeval timeout{seconds, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int noDelay = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
}

namespace {

// Binds a new listener-like socket to 127.0.0.1:<port>; the errno of the failure, 0 on success.
// The bound port is returned through `bound`.
int BindLoopback(int port, int& bound) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return errno;
    SetListenerOptions(fd);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    int error = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = errno;
    } else {
        bound = ntohs(address.sin_port);
    }
    ::close(fd);
    return error;
}

}  // namespace

PortCheck CheckLoopbackPort(int port) {
    int bound = 0;
    const int error = BindLoopback(port, bound);
    if (error == 0) return {};
    if (error == EADDRINUSE) return {PortCheck::InUse, {}};
    if (error == EACCES) return {PortCheck::Denied, {}};
    return {PortCheck::Failed, std::strerror(error)};
}

int UnusedLoopbackPort() {
    int bound = 0;
    return BindLoopback(0, bound) == 0 ? bound : 0;
}

}  // namespace lumeno::demo
