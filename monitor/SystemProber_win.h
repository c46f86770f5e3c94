// Every kind of probe the monitor sends, each on handles of its own so that
// the targets of a cycle can be probed on several threads at once: an ICMP or
// ICMPv6 echo request, or a TCP connection.
#pragma once

#include "monitor/ParallelProbe.h"

namespace vorlane {

class SystemProber : public Prober {
  public:
    ProbeAnswer probe(const ProbeTarget& target, int timeoutMs) override;
};

}  // namespace vorlane
