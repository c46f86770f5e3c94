// The monitor's platform side: the Windows Sockets host lookup and the ICMP
// echo of the IP Helper library.
#pragma once

#include "monitor/ProbeLoop.h"

namespace vorlane {

class WinsockResolver : public Resolver {
  public:
    std::wstring lookupHost(const std::wstring& name) override;
};

// One echo request of 12 data bytes, one second for the answer.
class IcmpProber : public Prober {
  public:
    bool probe(const Ipv4Address& address) override;
};

}  // namespace vorlane
