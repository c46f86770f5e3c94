#include "settings/TargetsHere.h"

#include "monitor/TargetList.h"
#include "settings/SettingsCheck.h"

namespace vorlane {

const wchar_t* const kNoIpv6EchoText = L"本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口";

std::wstring TargetsHereCheck::warningFor(const std::wstring& field, TargetSystem& system) {
    const TargetListCheck zones =
        CheckZones(field, [&system](std::uint32_t zone) { return system.zoneExists(zone); });
    if (zones.problem != TargetProblem::None) return TargetWarning(zones);
    if (field == ipv6Warned_ || !HasIpv6Echo(field) || system.canEchoIpv6()) return {};
    ipv6Warned_ = field;
    return kNoIpv6EchoText;
}

}  // namespace vorlane
