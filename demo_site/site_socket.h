// The few socket calls of the local site that differ between POSIX sockets and Winsock: waits,
// reads and writes, shutting down and closing, socket options, and what binding a port says.
// Each system's half lives in site_socket_posix.cpp or site_socket_windows.cpp (CMake picks
// one); httplib.h brings the system's socket headers and `socket_t` on both.
#pragma once

#include <cstddef>
#include <string>

#include <httplib.h>

namespace lumeno::demo {

enum class SocketWait { Ready, Broken, TimedOut, Failed };

// Waits up to `timeoutMs` for the socket to be readable (data, end of stream or an error: the
// read tells which) or writable (Broken when the peer is gone). An interrupted wait counts as
// a timeout, so that callers simply wait again.
SocketWait WaitForSocket(socket_t socket, bool forWriting, int timeoutMs);
// recv/send of at most `size` bytes, retried when a signal interrupts them. SendSome answers 0
// when the socket takes nothing for now (try again) and never raises SIGPIPE.
long ReceiveSome(socket_t socket, char* buffer, std::size_t size);
long SendSome(socket_t socket, const char* data, std::size_t size);
// Ends both directions at once: a blocked read or write on another thread returns.
void ShutdownSocket(socket_t socket);
void CloseSocket(socket_t socket);

// A listener that a restarted site may bind again at once, but that no other program may
// share: SO_REUSEADDR on POSIX (without SO_REUSEPORT), a plain bind on Windows (where
// SO_REUSEADDR would take over another program's port).
void SetListenerOptions(socket_t socket);
// An accepted connection: read and write timeouts of `seconds`, no delayed small writes.
void SetConnectionOptions(socket_t socket, int seconds);

// Whether 127.0.0.1:<port> can be listened on now, found by binding it once more: free, in use
// by another program, refused to this user or by the system, or another failure (`detail`
// names it).
struct PortCheck {
    enum Result { Free, InUse, Denied, Failed } result = Free;
    std::string detail;
};
PortCheck CheckLoopbackPort(int port);
// A loopback port where nothing listens: bound to get a free number, then closed; 0 on failure.
int UnusedLoopbackPort();

}  // namespace lumeno::demo
