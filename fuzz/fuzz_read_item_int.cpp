// The dialog's number reading and the checks built on it. Whatever the text:
// no undefined behaviour, the same result as a plain restatement of atoi's
// reading saturated at the int limits, the same as the settings file's own
// number reading for ASCII text, and a confirmation that passes holds only
// values the checks allow.
// Input: UTF-16 units; the unit 0x0001 separates the dialog's boxes (its text
// and number boxes, in the order of the table of settings).
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "core/IniDocument.h"
#include "fuzz/FuzzInput.h"
#include "settings/SettingsCheck.h"

namespace {

using vorlane::fuzz::Require;

long long Reference(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    int sign = 1;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) sign = text[i++] == L'-' ? -1 : 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value < 10000000000LL) value = value * 10 + (text[i] - L'0');
    }
    value *= sign;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return value;
}

std::wstring Next(std::wstring& rest) {
    const size_t at = rest.find(L'\x01');
    std::wstring head = rest.substr(0, at);
    rest = at == std::wstring::npos ? std::wstring() : rest.substr(at + 1);
    return head;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::wstring rest = vorlane::fuzz::WideFromBytes(data, size);
    const std::wstring whole = rest;

    const int value = vorlane::ReadItemInt(whole);
    Require(value == Reference(whole), "ReadItemInt reads like a saturating atoi");
    bool ascii = true;
    std::string narrow;
    for (wchar_t c : whole) {
        ascii = ascii && c < 0x80;
        narrow += static_cast<char>(c);
    }
    if (ascii) {
        Require(value == vorlane::ReadIntLikeAtoi(narrow),
                "the dialog and the settings file read numbers alike");
    }

    // The pieces fill the dialog's boxes in table order; the last box gets
    // the rest.
    std::vector<const vorlane::Setting*> boxes;
    for (const vorlane::Setting& setting : vorlane::Settings()) {
        if (setting.inDialog() && setting.kind != vorlane::SettingKind::Flag) {
            boxes.push_back(&setting);
        }
    }
    vorlane::DialogInput input;
    for (size_t i = 0; i < boxes.size(); ++i) {
        input[*boxes[i]] = i + 1 < boxes.size() ? Next(rest) : rest;
    }
    const vorlane::CheckResult checked = vorlane::CheckSettings(input);
    if (!checked.refused) {
        const auto& v = checked.values;
        Require(v.target == input[L"ping"] && v.target.find(L'.') != std::wstring::npos,
                "a confirmed target is the text typed, with a full stop");
        for (const vorlane::Setting& setting : vorlane::Settings()) {
            if (!setting.inDialog()) continue;
            if (setting.kind == vorlane::SettingKind::Text) {
                Require(v.*setting.text == input[setting], "a text is kept as typed");
            }
            if (setting.kind != vorlane::SettingKind::Number) continue;
            const vorlane::NumberRule& rule = setting.numberRule;
            const int n = v.*setting.number;
            const int low = rule.lowFrom ? v.*rule.lowFrom : rule.low;
            const int high = rule.highFrom ? v.*rule.highFrom : rule.high;
            Require((rule.zeroIsOff && n == 0) || (n >= low && n <= high),
                    "confirmed numbers are within their rules");
            Require(n == vorlane::ReadItemInt(input[setting]) || (rule.raise && n == low),
                    "a number is taken as read, or raised to its low bound");
        }
    }
    return 0;
}
