// The local site's socket calls on Winsock (httplib starts Winsock when the program starts).
#include "demo_site/site_socket.h"

#include <windows.h>

namespace lumeno::demo {
SocketWait WaitForSocket(socket_t socket, bool forWriting, int timeoutMs) {
    WSAPOLLFD entry{socket, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = ::WSAPoll(&entry, 1, timeoutMs);
    if (ready < 0) return SocketWait::Failed;
    if (ready == 0) return SocketWait::TimedOut;
    if (forWriting && (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return SocketWait::Broken;
    }
    return SocketWait::Ready;
}

long ReceiveSome(socket_t socket, char* buffer, std::size_t size) {
    const int chunk = static_cast<int>(size < (1u << 30) ? size : (1u << 30));
    return ::recv(socket, buffer, chunk, 0);
}

long SendSome(socket_t socket, const char* data, std::size_t size) {
    const int chunk = static_cast<int>(size < (1u << 30) ? size : (1u << 30));
    const int n = ::send(socket, data, chunk, 0);
    if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    return n;
}

void ShutdownSocket(socket_t socket) {
    ::shutdown(socket, SD_BOTH);
}

void CloseSocket(socket_t socket) {
    ::closesocket(socket);
}

// A plain bind already passes connections of an earlier site still in TIME_WAIT and is refused
// a port another program listens on. SO_REUSEADDR would share a port in use, and
// SO_EXCLUSIVEADDRUSE would refuse a quick restart while the earlier site's connections end.
void SetListenerOptions(socket_t) {}

void SetConnectionOptions(socket_t socket, int seconds) {
    const DWORD timeoutMs = static_cast<DWORD>(seconds) * 1000;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                 sizeof timeoutMs);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                 sizeof timeoutMs);
    BOOL noDelay = TRUE;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                 sizeof noDelay);
}

namespace {

// Binds a new listener-like socket to 127.0.0.1:<port>; the Winsock error of the failure, 0 on
// success. The bound port is returned through `bound`.
int BindLoopback(int port, int& bound) {
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return ::WSAGetLastError();
    SetListenerOptions(s);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    int length = sizeof address;
    int error = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = ::WSAGetLastError();
    } else {
        bound = ntohs(address.sin_port);
    }
    ::closesocket(s);
    return error;
}

}  // namespace

PortCheck CheckLoopbackPort(int port) {
    int bound = 0;
    const int error = BindLoopback(port, bound);
    if (error == 0) return {};
    if (error == WSAEADDRINUSE) return {PortCheck::InUse, {}};
    // Windows keeps some port ranges for itself (Hyper-V, WSL): binding them is refused so.
    if (error == WSAEACCES) return {PortCheck::Denied, {}};
    return {PortCheck::Failed, "Winsock error " + std::to_string(error)};
}

int UnusedLoopbackPort() {
    int bound = 0;
    return BindLoopback(0, bound) == 0 ? bound : 0;
}

}  // namespace lumeno::demo
