#include "settings/TargetsHere_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include "monitor/IcmpProber_win.h"

namespace vorlane {

bool WinTargetSystem::zoneExists(std::uint32_t zone) {
    // An IPv6 zone index is an interface index.
    NET_LUID luid;
    return ::ConvertInterfaceIndexToLuid(static_cast<NET_IFINDEX>(zone), &luid) == NO_ERROR;
}

bool WinTargetSystem::canEchoIpv6() { return CanSendIcmpv6Echo(); }

}  // namespace vorlane
