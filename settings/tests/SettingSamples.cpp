#include "settings/tests/SettingSamples.h"

#include <algorithm>
#include <set>

#include "core/Digits.h"
#include "core/SettingsTable.h"
#include "core/Utf.h"
#include "settings/SettingsCheck.h"

namespace vorlane {
namespace {

using Field = int WorkingSettingsValues::*;

// The number that the row with `field` holds in `samples`, or at its default.
int NumberOf(Field field, const std::vector<std::wstring>* samples) {
    for (const Setting& setting : Settings()) {
        if (setting.number != field) continue;
        if (samples) return ReadItemInt((*samples)[Settings().indexOf(setting)]);
        return ReadItemInt(Utf8ToWide(setting.absent ? setting.absent : ""));
    }
    return 0;
}

std::wstring NumberSample(const Setting& setting, const std::vector<std::wstring>& samples,
                          const std::set<int>& taken) {
    const NumberRule& rule = setting.numberRule;
    // A bound given by another key holds at that key's default and at its sample.
    int low = rule.low;
    int high = rule.high;
    if (rule.lowFrom)
        low = std::max(NumberOf(rule.lowFrom, nullptr), NumberOf(rule.lowFrom, &samples));
    if (rule.highFrom) {
        high = std::min(NumberOf(rule.highFrom, nullptr), NumberOf(rule.highFrom, &samples));
    }
    const int byDefault = ReadItemInt(Utf8ToWide(setting.absent ? setting.absent : ""));
    const int first = std::max(low, 0);
    const int last = static_cast<int>(std::min<long long>(high, first + 1000LL));
    for (int pass = 0; pass < 2; ++pass) {
        for (int n = first; n <= last; ++n) {
            if (n != byDefault && (pass == 1 || !taken.count(n))) return Decimal(n);
        }
    }
    return std::wstring();
}

}  // namespace

std::vector<std::wstring> SettingSamples() {
    std::vector<std::wstring> samples(Settings().size());
    std::set<int> taken;
    int address = 2;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        std::wstring& sample = samples[Settings().indexOf(setting)];
        switch (setting.kind) {
            case SettingKind::Text:
                sample = setting.textRule == TextRule::Targets
                             ? L"127.0.0." + Decimal(address++)
                             : L"echo " + std::wstring(setting.key);
                break;
            case SettingKind::Number:
                sample = NumberSample(setting, samples, taken);
                taken.insert(ReadItemInt(sample));
                break;
            case SettingKind::Flag:
                sample =
                    setting.absent && ReadItemInt(Utf8ToWide(setting.absent)) ? kFlagOff : kFlagOn;
                break;
            case SettingKind::Choice:
                for (int k = setting.choiceCount - 1; k >= 0; --k) {
                    if (Utf8ToWide(setting.absent ? setting.absent : "") !=
                        setting.choices[k].stored) {
                        sample = setting.choices[k].stored;
                    }
                }
                break;
        }
    }
    return samples;
}

}  // namespace vorlane
