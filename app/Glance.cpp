#include "app/Glance.h"

#include "core/Digits.h"
#include "monitor/Target.h"

namespace vorlane {
namespace {

std::wstring TargetLine(const Glance::Target& target) {
    if (target.typed.empty()) return L"目标：未设定";
    std::wstring line = L"目标：" + target.typed;
    if (target.address.empty()) return line + L"（尚未解析）";
    if (target.address == kLookupFailed) return line + L"（解析失败）";
    if (target.address != target.typed) line += L" → " + target.address;
    return line;
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
        lines.push_back(L"往返时间：" + Decimal(glance.roundTripMs) + L" ms");
    }
    const LossRecord::Share& loss = glance.lossLastHour;
    if (loss.sent > 0) {
        lines.push_back(L"近一小时丢包：" + Percent(loss.lost, loss.sent) + L"（" +
                        Decimal(loss.lost) + L"/" + Decimal(loss.sent) + L"）");
    }
    switch (glance.state) {
        case LinkHistory::State::Unknown:
            lines.push_back(L"尚无探测结果");
            break;
        case LinkHistory::State::Up:
            lines.push_back(L"连通自 " + FormatShortTime(glance.since));
            break;
        case LinkHistory::State::Down:
            lines.push_back(L"掉线自 " + FormatShortTime(glance.since) + L"，已丢失 " +
                            Decimal(glance.missed) + L" 次");
            break;
    }
    lines.push_back(L"启动以来掉线：" + Decimal(glance.drops) + L" 次");
    if (!glance.logProblem.empty()) {
        lines.push_back(L"日志无法写入：" + glance.logPath + L"：" + glance.logProblem);
    } else if (glance.logPath.empty()) {
        lines.push_back(L"日志：未开启");
    } else {
        lines.push_back(L"日志：" + glance.logPath);
    }
    std::wstring text;
    for (const std::wstring& line : lines) {
        if (!text.empty()) text += L"\r\n";
        text += line;
    }
    return text;
}

}  // namespace vorlane
