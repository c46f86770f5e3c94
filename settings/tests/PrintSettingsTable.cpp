// Prints the table of settings as JSON for the end-to-end tests: one object
// per key with its kind, default (null: none), the dialog's control (null:
// none), whether the log's "settings" event shows it, and a value other than
// the default that OK accepts with every other key at its own such value;
// for a choice also the place of the sample in the dialog's list and the
// text the list shows for it (on a Chinese system).
#include <cstdio>
#include <string>

#include "core/SettingsTable.h"
#include "core/Texts.h"
#include "core/Utf.h"
#include "settings/tests/SettingSamples.h"

namespace {

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

const char* KindName(vorlane::SettingKind kind) {
    switch (kind) {
        case vorlane::SettingKind::Text:
            return "text";
        case vorlane::SettingKind::Number:
            return "number";
        case vorlane::SettingKind::Flag:
            return "flag";
        case vorlane::SettingKind::Choice:
            return "choice";
    }
    return "";
}

}  // namespace

int main() {
    using namespace vorlane;
    const std::vector<std::wstring> samples = SettingSamples();
    std::string out = "[";
    for (const Setting& setting : Settings()) {
        if (out.size() > 1) out += ",";
        out += "\n {\"key\": " + Json(WideToUtf8(setting.key));
        out += ", \"kind\": " + Json(KindName(setting.kind));
        out += ", \"default\": " + (setting.absent ? Json(setting.absent) : std::string("null"));
        out += ", \"control\": " +
               (setting.inDialog() ? std::to_string(setting.control) : std::string("null"));
        out += ", \"logged\": " + std::string(setting.log == InLog::AsStored ? "true" : "false");
        const std::wstring& sample = samples[Settings().indexOf(setting)];
        out += ", \"sample\": " + (setting.inDialog() ? Json(WideToUtf8(sample)) : "null");
        for (int k = 0; k < setting.choiceCount; ++k) {
            if (sample != setting.choices[k].stored) continue;
            out += ", \"sample_index\": " + std::to_string(k);
            out += ", \"sample_shown\": " + Json(WideToUtf8(Text(setting.choices[k].text)));
        }
        out += "}";
    }
    out += "\n]\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
