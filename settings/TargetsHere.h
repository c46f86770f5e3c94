// The checks of OK that only this system can answer: whether a zone index
// names one of its interfaces, and whether it can send ICMPv6 echo requests
// at all. Portable: the system comes in through TargetSystem.
#pragma once

#include <cstdint>
#include <string>

namespace vorlane {

class TargetSystem {
  public:
    virtual ~TargetSystem() = default;
    virtual bool zoneExists(std::uint32_t zone) = 0;
    virtual bool canEchoIpv6() = 0;
};

// "本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口"

class TargetsHereCheck {
  public:
    // The warning to show for the target field, or empty to go on. A zone
    // index that names no interface is refused every time. An echo to an
    // IPv6 address on a system that cannot send one is warned about once
    // for the same field: OK again takes it as it is.
    std::wstring warningFor(const std::wstring& field, TargetSystem& system);

  private:
    std::wstring ipv6Warned_;
};

}  // namespace vorlane
