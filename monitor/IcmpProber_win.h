// The monitor's platform side: the Windows Sockets host lookup and the ICMP
// echo of the IP Helper library.
#pragma once

#include "monitor/ParallelProbe.h"
#include "monitor/Target.h"

namespace vorlane {

// An internationalised name (any character outside ASCII) is looked up in
// its ASCII form, as Windows' own lookups do.
class WinsockResolver : public Resolver {
  public:
    std::wstring lookupHost(const std::wstring& name) override;
};

// One echo request of 12 data bytes on a handle of its own, so that the
// targets of a cycle can be probed on several threads at once.
class IcmpProber : public Prober {
  public:
    std::optional<int> probe(const Ipv4Address& address, int timeoutMs) override;
};

}  // namespace vorlane
