// Windows Sockets: the owner of one socket, and the library started once for
// the process. Included before <windows.h>, as <winsock2.h> must be.
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

// WSAStartup for version 2.2 at the first call, never undone: the probes and
// lookups of a cycle run on several threads at once, and pairs of
// WSAStartup / WSACleanup around each would race. (Wine's use count is not
// atomic, and the cleanup that takes it to zero closes every socket of the
// process: a TCP probe under way on another thread then failed.) The process's
// end releases it. True when the library can be used.
inline bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace framework
