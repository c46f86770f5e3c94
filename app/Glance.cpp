#include "app/Glance.h"

#include "core/Digits.h"
#include "core/Texts.h"
#include "monitor/Target.h"
#include "res/resource.h"

namespace vorlane {
namespace {

std::wstring TargetLine(const Glance::Target& target) {
    if (target.typed.empty()) return Text(IDS_GLANCE_NO_TARGET);
    if (target.address.empty()) return Text(IDS_GLANCE_UNRESOLVED, {target.typed});
    if (target.address == kLookupFailed) return Text(IDS_GLANCE_LOOKUP_FAILED, {target.typed});
    if (target.address != target.typed) {
        return Text(IDS_GLANCE_ADDRESS, {target.typed, target.address});
    }
    return Text(IDS_GLANCE_TARGET, {target.typed});
}

// Per mille as "12.5%", rounded to the nearest tenth of a per cent.
std::wstring Percent(int part, int whole) {
    const long long tenths = (static_cast<long long>(part) * 1000 + whole / 2) / whole;
    return Decimal(tenths / 10) + L"." + Decimal(tenths % 10) + L"%";
}

}  // namespace

std::wstring GlanceText(const Glance& glance) {
    std::vector<std::wstring> lines;
    for (const Glance::Target& target : glance.targets) lines.push_back(TargetLine(target));
    if (glance.roundTripMs >= 0) {
        lines.push_back(Text(IDS_GLANCE_ROUND_TRIP, {Decimal(glance.roundTripMs)}));
    }
    const LossRecord::Share& loss = glance.lossLastHour;
    if (loss.sent > 0) {
        lines.push_back(Text(IDS_GLANCE_LOSS, {Percent(loss.lost, loss.sent), Decimal(loss.lost),
                                               Decimal(loss.sent)}));
    }
    switch (glance.state) {
        case LinkHistory::State::Unknown:
            lines.push_back(Text(IDS_GLANCE_NO_RESULT));
            break;
        case LinkHistory::State::Up:
            lines.push_back(Text(IDS_GLANCE_UP_SINCE, {FormatShortTime(glance.since)}));
            break;
        case LinkHistory::State::Down:
            lines.push_back(Text(IDS_GLANCE_DOWN_SINCE,
                                 {FormatShortTime(glance.since), Decimal(glance.missed)}));
            break;
    }
    lines.push_back(Text(IDS_GLANCE_DROPS, {Decimal(glance.drops)}));
    if (!glance.logProblem.empty()) {
        lines.push_back(Text(IDS_GLANCE_LOG_FAILING, {glance.logPath, glance.logProblem}));
    } else if (glance.logPath.empty()) {
        lines.push_back(Text(IDS_GLANCE_LOG_OFF));
    } else {
        lines.push_back(Text(IDS_GLANCE_LOG, {glance.logPath}));
    }
    std::wstring text;
    for (const std::wstring& line : lines) {
        if (!text.empty()) text += L"\r\n";
        text += line;
    }
    return text;
}

}  // namespace vorlane
