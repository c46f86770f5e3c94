#include "monitor/TcpProber_win.h"

#include "framework/Socket.h"
#include "monitor/SocketAddress_win.h"

#include <chrono>

namespace vorlane {

namespace {

int MillisecondsSince(std::chrono::steady_clock::time_point start) {
    using namespace std::chrono;
    return static_cast<int>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

}  // namespace

ProbeAnswer ConnectOnce(const IpAddress& address, std::uint16_t port, int timeoutMs) {
    if (!framework::WinsockStarted()) return ProbeAnswer::Unanswered();
    sockaddr_storage to;
    const int length = ToSocketAddress(address, port, to);
    framework::UniqueSocket socket(::socket(to.ss_family, SOCK_STREAM, IPPROTO_TCP));
    if (!socket) return ProbeAnswer::Unanswered();
    u_long nonBlocking = 1;
    if (::ioctlsocket(socket.get(), FIONBIO, &nonBlocking) != 0) return ProbeAnswer::Unanswered();

    const auto start = std::chrono::steady_clock::now();
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&to), length) == 0) {
        return AnswerOf(ConnectReply::Connected, MillisecondsSince(start));
    }
    const int early = ::WSAGetLastError();
    if (early != WSAEWOULDBLOCK) return AnswerOf(ConnectReplyOf(early), MillisecondsSince(start));
    // select, not WSAPoll: before Windows 10 2004, WSAPoll never reports a
    // refused connection and would let it run into the time-out.
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket.get(), &writable);
    FD_SET(socket.get(), &failed);
    timeval wait;
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    const int ready = ::select(0, nullptr, &writable, &failed, &wait);
    const int elapsed = MillisecondsSince(start);
    if (ready == 0) return AnswerOf(ConnectReply::TimedOut, elapsed);
    if (ready < 0) return AnswerOf(ConnectReply::Failed, elapsed);
    int error = 0;
    int size = sizeof(error);
    if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) !=
        0) {
        return AnswerOf(ConnectReply::Failed, elapsed);
    }
    // Writable: connected, with no error. Failed: the error says how.
    return AnswerOf(ConnectReplyOf(error), elapsed);
}

}  // namespace vorlane
