#include "settings/StoredSettings.h"

namespace vorlane {
namespace {

// Blanks around it, one sign, digits, and within int.
bool IsWholeNumber(const std::wstring& text) {
    size_t begin = text.find_first_not_of(L" \t");
    if (begin == std::wstring::npos) return false;
    const size_t end = text.find_last_not_of(L" \t") + 1;
    if (text[begin] == L'+' || text[begin] == L'-') ++begin;
    if (begin == end) return false;
    long long value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        value = value * 10 + (text[i] - L'0');
        if (value > 2147483647LL) return false;
    }
    return true;
}

}  // namespace

DialogInput ReadStoredInput(const StoredText& text, const StoredFlag& flag) {
    DialogInput in;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        if (setting.kind == SettingKind::Flag) {
            in[setting] = flag(setting.key) ? kFlagOn : kFlagOff;
        } else {
            in[setting] = text(setting.key);
        }
    }
    return in;
}

bool StoredSettingsPass(const DialogInput& stored, WorkingSettingsValues& values) {
    CheckResult checked = CheckSettings(stored);
    if (checked.refused) return false;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog() || setting.kind != SettingKind::Number) continue;
        const std::wstring& text = stored[setting];
        if (!IsWholeNumber(text) || checked.values.*setting.number != ReadItemInt(text)) {
            return false;
        }
    }
    values = std::move(checked.values);
    return true;
}

void StoreConfirmed(const WorkingSettingsValues& values, const SaveText& store) {
    for (const Setting& setting : Settings()) {
        if (setting.inDialog()) store(setting.key, StoredForm(setting, values));
    }
}

}  // namespace vorlane
