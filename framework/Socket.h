// Windows Sockets: the owner of one socket, and the library's use count held
// for as long as a caller needs it. Included before <windows.h>, as
// <winsock2.h> must be.
#pragma once

#include <winsock2.h>

#include "framework/Handles.h"

namespace framework {

struct SocketTraits {
    using type = SOCKET;
    static type invalid() { return INVALID_SOCKET; }
    static void close(type s) { ::closesocket(s); }
};

using UniqueSocket = UniqueAny<SocketTraits>;

// WSAStartup for version 2.2, and the WSACleanup that matches it.
class WinsockSession {
  public:
    WinsockSession() noexcept {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (started_) ::WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    explicit operator bool() const noexcept { return started_; }

  private:
    bool started_ = false;
};

}  // namespace framework
