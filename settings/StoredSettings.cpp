#include "settings/StoredSettings.h"
#include "core/Texts.h"
#include "res/resource.h"

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

// The first number of `stored` that the dialog would read generously (not a
// whole number, or changed by its rule); null when there is none.
const Setting* GenerousNumber(const DialogInput& stored, const CheckResult& checked) {
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog() || setting.kind != SettingKind::Number) continue;
        const std::wstring& text = stored[setting];
        if (!IsWholeNumber(text) || checked.values.*setting.number != ReadItemInt(text)) {
            return &setting;
        }
    }
    return nullptr;
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
    if (checked.refused || GenerousNumber(stored, checked)) return false;
    values = std::move(checked.values);
    return true;
}

std::wstring StoredSettingsRefusal(const DialogInput& stored) {
    const CheckResult checked = CheckSettings(stored);
    if (checked.refused) return checked.warning;
    const Setting* generous = GenerousNumber(stored, checked);
    if (!generous) return std::wstring();
    return Text(IDS_NOT_AN_ALLOWED_NUMBER, {generous->key, stored[*generous]});
}

void StoreConfirmed(const WorkingSettingsValues& values, const SaveText& store) {
    for (const Setting& setting : Settings()) {
        if (setting.inDialog()) store(setting.key, StoredForm(setting, values));
    }
}

}  // namespace vorlane
