// This system's answers to TargetsHereCheck: its interfaces and its ICMPv6
// echo.
#pragma once

#include "settings/TargetsHere.h"

namespace vorlane {

class WinTargetSystem : public TargetSystem {
  public:
    bool zoneExists(std::uint32_t zone) override;
    bool canEchoIpv6() override;
};

}  // namespace vorlane
