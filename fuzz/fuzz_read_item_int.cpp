// The dialog's number reading and the checks built on it. Whatever the text:
// no undefined behaviour, the same result as a plain restatement of atoi's
// reading saturated at the int limits, the same as the settings file's own
// number reading for ASCII text, and a confirmation that passes holds only
// values the checks allow.
// Input: UTF-16 units; the unit 0x0001 separates the dialog's five boxes.
#include <climits>
#include <cstdint>
#include <string>

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

    vorlane::DialogInput input;
    input.target = Next(rest);
    input.tryTimes = Next(rest);
    input.tryInterval = Next(rest);
    input.countdown = Next(rest);
    input.timeout = Next(rest);
    input.commandLine = rest;
    const vorlane::CheckResult checked = vorlane::CheckSettings(input);
    if (checked.refusal == vorlane::Refusal::None) {
        const auto& v = checked.values;
        Require(v.target == input.target && v.target.find(L'.') != std::wstring::npos,
                "a confirmed target is the text typed, with a full stop");
        Require(v.tryTimes >= 1 && v.tryInterval >= 1 && v.countdown >= 0 &&
                    v.timeoutMs >= vorlane::kMinTimeoutMs && v.timeoutMs <= vorlane::kMaxTimeoutMs,
                "confirmed numbers are within their limits");
        Require(v.commandLine == input.commandLine, "the command line is kept as typed");
    }
    return 0;
}
