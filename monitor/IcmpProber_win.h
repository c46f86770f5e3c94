// The monitor's platform side: the Windows Sockets host lookup and the ICMP
// and ICMPv6 echo of the IP Helper library.
#pragma once

#include "monitor/ProbeAnswer.h"
#include "monitor/Target.h"

namespace vorlane {

// An internationalised name (any character outside ASCII) is looked up in
// its ASCII form, as Windows' own lookups do. Its IPv4 address when it has
// one, else its IPv6 address.
class WinsockResolver : public Resolver {
  public:
    std::wstring lookupHost(const std::wstring& name) override;
};

// One echo request of 12 data bytes on a handle of its own, so that the
// targets of a cycle can be probed on several threads at once.
ProbeAnswer SendEchoRequest(const IpAddress& address, int timeoutMs);

// False when this system cannot send ICMPv6 echo requests at all.
bool CanSendIcmpv6Echo();

}  // namespace vorlane
