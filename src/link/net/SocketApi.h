#pragma once

// The few BSD socket calls the socket layer needs, with their Winsock spellings under _WIN32.
// Linux is the platform that is built and tested.

#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace telvara::net::sys {

#ifdef _WIN32
using Socket = SOCKET;
inline constexpr Socket kInvalidSocket = INVALID_SOCKET;
inline constexpr int kShutBoth = SD_BOTH;
inline constexpr int kNoSignal = 0;
inline int pollSockets(pollfd* fds, unsigned long n, int ms) {
    return WSAPoll(fds, n, ms);
}
inline void closeSocket(Socket s) {
    closesocket(s);
}
inline int lastError() {
    return WSAGetLastError();
}
inline bool wouldBlock(int e) {
    return e == WSAEWOULDBLOCK;
}
inline bool interrupted(int e) {
    return e == WSAEINTR;
}
inline bool connectInProgress(int e) {
    return e == WSAEWOULDBLOCK;
}
inline bool setNonBlocking(Socket s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}
inline void initialise() {
    static const bool done = [] {
        WSADATA d;
        return WSAStartup(MAKEWORD(2, 2), &d) == 0;
    }();
    (void)done;
}
#else
using Socket = int;
inline constexpr Socket kInvalidSocket = -1;
inline constexpr int kShutBoth = SHUT_RDWR;
inline constexpr int kNoSignal = MSG_NOSIGNAL;
inline int pollSockets(pollfd* fds, nfds_t n, int ms) {
    return ::poll(fds, n, ms);
}
inline void closeSocket(Socket s) {
    ::close(s);
}
inline int lastError() {
    return errno;
}
inline bool wouldBlock(int e) {
    return e == EAGAIN || e == EWOULDBLOCK;
}
inline bool interrupted(int e) {
    return e == EINTR;
}
inline bool connectInProgress(int e) {
    return e == EINPROGRESS;
}
inline bool setNonBlocking(Socket s) {
    const int flags = ::fcntl(s, F_GETFL, 0);
    return flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
inline void initialise() {}
#endif

inline std::string errorText(int e) {
#ifdef _WIN32
    return "Socket error # " + std::to_string(e);
#else
    return std::string(std::strerror(e));
#endif
}

inline void setNoDelay(Socket s) {
    int on = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

inline std::string dottedAddress(const sockaddr_in& a) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return text;
}

} // namespace telvara::net::sys
