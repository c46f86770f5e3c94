// The TCP connect probe: a connection opened within the time-out and closed
// at once, no data sent.
#pragma once

#include <cstdint>

#include "monitor/ProbeAnswer.h"
#include "monitor/Target.h"

namespace vorlane {

ProbeAnswer ConnectOnce(const IpAddress& address, std::uint16_t port, int timeoutMs);

}  // namespace vorlane
