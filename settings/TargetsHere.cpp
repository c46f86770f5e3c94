#include "settings/TargetsHere.h"

#include "core/Texts.h"
#include "monitor/TargetList.h"
#include "res/resource.h"
#include "settings/SettingsCheck.h"

namespace vorlane {

std::wstring TargetsHereCheck::warningFor(const std::wstring& field, TargetSystem& system) {
    const TargetListCheck zones =
        CheckZones(field, [&system](std::uint32_t zone) { return system.zoneExists(zone); });
    if (zones.problem != TargetProblem::None) return TargetWarning(zones);
    if (field == ipv6Warned_ || !HasIpv6Echo(field) || system.canEchoIpv6()) return {};
    ipv6Warned_ = field;
    return Text(IDS_NO_IPV6_ECHO);
}

}  // namespace vorlane
