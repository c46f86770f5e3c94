// The table of settings tried whole: every key of the dialog goes through
// the store, the dialog's input, the checks, the save and the log with a
// value derived from the table, so that a key handled wrong anywhere fails
// here without a case written for it; and README's key table against it.
#include "core/SettingsTable.h"

#include <climits>
#include <fstream>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/ConfigStore.h"
#include "core/Utf.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLog.h"
#include "settings/StoredSettings.h"
#include "settings/tests/SettingSamples.h"

namespace vorlane {
namespace {

using Texts = std::vector<std::wstring>;  // by table row

// The store as the dialog reads it (CCore's readers, without Windows).
DialogInput ReadFrom(const ConfigStore& store) {
    return ReadStoredInput(
        [&](const wchar_t* key) { return Utf8ToWide(store.GetText(WideToUtf8(key))); },
        [&](const wchar_t* key) { return store.GetBool(WideToUtf8(key)); });
}

// The row of the tick box whose field is `flag`; null when none.
const Setting* RowOfFlag(bool WorkingSettingsValues::*flag) {
    for (const Setting& setting : Settings()) {
        if (setting.kind == SettingKind::Flag && setting.flag == flag) return &setting;
    }
    return nullptr;
}

Texts Defaults() {
    Texts texts(Settings().size());
    for (const Setting& setting : Settings()) {
        if (setting.absent) texts[Settings().indexOf(setting)] = Utf8ToWide(setting.absent);
    }
    return texts;
}

// The defaults, except that a key whose default OK refuses (an empty
// target) takes its sample.
Texts AcceptedDefaults(const Texts& samples) {
    Texts texts = Defaults();
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        DialogInput input;
        for (const Setting& each : Settings()) input[each] = texts[Settings().indexOf(each)];
        const CheckResult checked = CheckSettings(input);
        if (!checked.refused) break;
        const size_t row = Settings().indexOf(*checked.refused);
        if (texts[row] == samples[row]) break;
        texts[row] = samples[row];
    }
    return texts;
}

// Writes the rows marked in `written` to a store by hand (the others stay
// absent and read at their defaults), reads the store into the dialog's
// input, confirms it, saves it to a new store and logs it: each key of the
// dialog must come out as `expected` says, everywhere.
void RoundTrip(const Texts& expected, const std::vector<bool>& written, const std::string& what) {
    SCOPED_TRACE(what);
    ConfigStore before(nullptr, L"");
    for (const Setting& setting : Settings()) {
        const size_t row = Settings().indexOf(setting);
        if (written[row]) before.SetText(WideToUtf8(setting.key), WideToUtf8(expected[row]));
    }
    const DialogInput input = ReadFrom(before);
    const CheckResult checked = CheckSettings(input);
    ASSERT_EQ(checked.refused, nullptr) << checked.warning;
    WorkingSettingsValues unattended;
    EXPECT_TRUE(StoredSettingsPass(input, unattended));

    ConfigStore after(nullptr, L"");
    after.BeginBatch();
    StoreConfirmed(checked.values, [&](const wchar_t* key, const std::wstring& text) {
        after.SetText(WideToUtf8(key), WideToUtf8(text));
    });
    after.EndBatch();

    LogDetails logged;
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        const std::wstring& value = expected[Settings().indexOf(setting)];
        EXPECT_EQ(StoredForm(setting, checked.values), value) << setting.key;
        EXPECT_EQ(StoredForm(setting, unattended), value) << setting.key;
        EXPECT_TRUE(after.Has(WideToUtf8(setting.key))) << setting.key;
        EXPECT_EQ(Utf8ToWide(after.GetText(WideToUtf8(setting.key))), value) << setting.key;
        if (setting.log == InLog::AsStored) logged.add(setting.key, value);
    }
    EXPECT_EQ(DescribeSettings(checked.values).text(), logged.text());
}

TEST(SettingsTable, EveryKeyOfTheDialogMakesTheWholeTripAloneAndAllTogether) {
    const Texts samples = SettingSamples();
    const Texts base = AcceptedDefaults(samples);
    std::vector<bool> written(Settings().size(), false);
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        const size_t row = Settings().indexOf(setting);
        ASSERT_FALSE(samples[row].empty()) << setting.key << ": no value but the default";
        ASSERT_NE(samples[row], Defaults()[row]) << setting.key;
        if (base[row] != Defaults()[row]) written[row] = true;  // kept in every trip
    }
    // Nothing written but what OK needs: an old file reads the rest at
    // their defaults.
    RoundTrip(base, written, "defaults");
    for (const Setting& setting : Settings()) {
        if (!setting.inDialog()) continue;
        const size_t row = Settings().indexOf(setting);
        Texts expected = base;
        expected[row] = samples[row];
        std::vector<bool> alone = written;
        alone[row] = true;
        // A tick box that may be cleared only beside another goes with it.
        if (const Setting* needed = RowOfFlag(setting.flagRule.offNeeds)) {
            expected[Settings().indexOf(*needed)] = samples[Settings().indexOf(*needed)];
            alone[Settings().indexOf(*needed)] = true;
        }
        RoundTrip(expected, alone, "alone: " + WideToUtf8(setting.key));
    }
    std::vector<bool> all(Settings().size());
    for (const Setting& setting : Settings()) all[Settings().indexOf(setting)] = setting.inDialog();
    RoundTrip(samples, all, "all together");
}

// What the round trips cannot show: a key twice, a key named in code but
// missing from the table, a refusal without words.
TEST(SettingsTable, KeysAreUniqueNamedKeysAreRowsAndEveryRefusalSaysWhy) {
    std::set<std::wstring> keys;
    for (const Setting& setting : Settings()) {
        SCOPED_TRACE(WideToUtf8(setting.key));
        EXPECT_TRUE(keys.insert(setting.key).second);
        const NumberRule& rule = setting.numberRule;
        const bool refuses = !rule.raise || rule.high != INT_MAX || rule.highFrom;
        if (setting.inDialog() && setting.kind == SettingKind::Number && refuses) {
            EXPECT_NE(rule.refusal, 0);
        }
        if (setting.flagRule.offNeeds) {
            EXPECT_NE(setting.flagRule.refusal, 0);
            EXPECT_LT(Settings().indexOf(*RowOfFlag(setting.flagRule.offNeeds)),
                      Settings().indexOf(setting));
        }
    }
    for (const wchar_t* named : {keys::kFontSize, keys::kFontName, keys::kPosLeft, keys::kPosTop,
                                 keys::kHelpHost, keys::kKeepLog}) {
        EXPECT_NE(FindSetting(named), nullptr) << WideToUtf8(named);
    }
}

TEST(SettingsTable, TheLogKeepsItsOrderForTheKeysItAlwaysShowed) {
    const std::vector<std::wstring> earlier = {
        L"ping",    L"trytimes", L"tryinterval", L"djs",   L"cmduser", L"bwav", L"bshutdown",
        L"timeout", L"armfirst", L"cancelonup",  L"rearm", L"cmdup",   L"log"};
    std::vector<std::wstring> logged;
    for (const Setting& setting : Settings()) {
        if (setting.log == InLog::AsStored) logged.push_back(setting.key);
    }
    ASSERT_GE(logged.size(), earlier.size());
    logged.resize(earlier.size());
    EXPECT_EQ(logged, earlier);
}

// The keys in the first column of README's table under "## Settings file".
std::set<std::wstring> ReadmeKeys() {
    std::ifstream file(VORLANE_README_PATH);
    std::set<std::wstring> keys;
    std::string line;
    bool inSection = false;
    while (std::getline(file, line)) {
        if (line.rfind("## ", 0) == 0) inSection = line == "## Settings file";
        if (!inSection || line.rfind("| `", 0) != 0) continue;
        const std::string cell = line.substr(1, line.find('|', 1) - 1);
        for (size_t open = cell.find('`'); open != std::string::npos;) {
            const size_t close = cell.find('`', open + 1);
            keys.insert(Utf8ToWide(cell.substr(open + 1, close - open - 1)));
            open = cell.find('`', close + 1);
        }
    }
    return keys;
}

TEST(SettingsTable, TheReadmeDocumentsEveryKeyAndNoOther) {
    std::set<std::wstring> table;
    for (const Setting& setting : Settings()) table.insert(setting.key);
    const std::set<std::wstring> readme = ReadmeKeys();
    ASSERT_FALSE(readme.empty()) << "no key table found in " << VORLANE_README_PATH;
    EXPECT_EQ(readme, table);
}

}  // namespace
}  // namespace vorlane
