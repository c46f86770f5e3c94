#include "service/Setup.h"

#include <memory>

#include "core/ConfigStore.h"
#include "core/Utf.h"
#include "settings/StoredSettings.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// A file system of one file, the bytes read once: what is checked is what
// is installed, whatever happens to the file meanwhile.
class BytesFileSystem : public FileSystem {
  public:
    explicit BytesFileSystem(std::string bytes) : bytes_(std::move(bytes)) {}
    ReadStatus Read(const std::wstring&, size_t limit, std::string& bytes) override {
        if (bytes_.size() > limit) return ReadStatus::TooLarge;
        bytes = bytes_;
        return ReadStatus::Ok;
    }
    bool WriteFlushed(const std::wstring&, const std::string&) override { return false; }
    bool Replace(const std::wstring&, const std::wstring&) override { return false; }
    void Remove(const std::wstring&) override {}

  private:
    std::string bytes_;
};

constexpr std::uint32_t kWriteRights = 0x00000002 |  // FILE_WRITE_DATA, FILE_ADD_FILE
                                       0x00000004 |  // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
                                       0x00000010 |  // FILE_WRITE_EA
                                       0x00000040 |  // FILE_DELETE_CHILD
                                       0x00000100 |  // FILE_WRITE_ATTRIBUTES
                                       0x00010000 |  // DELETE
                                       0x00040000 |  // WRITE_DAC
                                       0x00080000 |  // WRITE_OWNER
                                       0x02000000 |  // MAXIMUM_ALLOWED
                                       0x10000000 |  // GENERIC_ALL
                                       0x40000000;   // GENERIC_WRITE

struct Alias {
    const wchar_t* code;
    const wchar_t* sid;
};
const Alias kAliases[] = {
    {L"SY", L"S-1-5-18"},     {L"BA", L"S-1-5-32-544"}, {L"BU", L"S-1-5-32-545"},
    {L"WD", L"S-1-1-0"},      {L"IU", L"S-1-5-4"},      {L"AU", L"S-1-5-11"},
    {L"CO", L"S-1-3-0"},      {L"OW", L"S-1-3-4"},      {L"LS", L"S-1-5-19"},
    {L"NS", L"S-1-5-20"},     {L"AN", L"S-1-5-7"},      {L"PU", L"S-1-5-32-547"},
    {L"BG", L"S-1-5-32-546"}, {L"SU", L"S-1-5-6"},      {L"NU", L"S-1-5-2"},
};

struct Right {
    const wchar_t* code;
    std::uint32_t mask;
};
const Right kRights[] = {
    {L"GA", 0x10000000}, {L"GR", 0x80000000}, {L"GW", 0x40000000}, {L"GX", 0x20000000},
    {L"FA", 0x001F01FF}, {L"FR", 0x00120089}, {L"FW", 0x00120116}, {L"FX", 0x001200A0},
    {L"SD", 0x00010000}, {L"RC", 0x00020000}, {L"WD", 0x00040000}, {L"WO", 0x00080000},
    {L"CC", 0x00000001}, {L"DC", 0x00000002}, {L"LC", 0x00000004}, {L"SW", 0x00000008},
    {L"RP", 0x00000010}, {L"WP", 0x00000020}, {L"DT", 0x00000040}, {L"LO", 0x00000080},
    {L"CR", 0x00000100}, {L"KA", 0x000F003F}, {L"KR", 0x00020019}, {L"KW", 0x00020006},
    {L"KX", 0x00020019},
};

const wchar_t* const kTrusted[] = {
    L"S-1-5-18",                                                        // LocalSystem
    L"S-1-5-32-544",                                                    // Administrators
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};

std::wstring SidOf(std::wstring_view text) {
    for (const Alias& alias : kAliases) {
        if (text == alias.code) return alias.sid;
    }
    return std::wstring(text);
}

std::uint32_t MaskOf(std::wstring_view text) {
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        std::uint32_t mask = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const wchar_t c = text[i];
            int digit = -1;
            if (c >= L'0' && c <= L'9') digit = c - L'0';
            if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
            if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
            if (digit < 0 || i > 9) return 0xFFFFFFFF;
            mask = mask * 16 + static_cast<std::uint32_t>(digit);
        }
        return mask;
    }
    if (text.size() % 2 != 0) return 0xFFFFFFFF;
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::wstring_view code = text.substr(i, 2);
        std::uint32_t found = 0xFFFFFFFF;
        for (const Right& right : kRights) {
            if (code == right.code) found = right.mask;
        }
        mask |= found;
    }
    return mask;
}

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::wstring_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// The text of one section ("O:", "D:", ...): from its colon to the next
// section's letter. A section starts with O, G, D or S and a colon outside
// parentheses; no SID, alias or flag holds a colon.
std::optional<std::wstring_view> Section(std::wstring_view sddl, wchar_t letter) {
    std::vector<std::size_t> starts;
    std::size_t depth = 0;
    for (std::size_t i = 0; i + 1 < sddl.size(); ++i) {
        const wchar_t c = sddl[i];
        if (c == L'(') {
            ++depth;
        } else if (c == L')') {
            if (depth > 0) --depth;
        } else if (depth == 0 && sddl[i + 1] == L':' &&
                   (c == L'O' || c == L'G' || c == L'D' || c == L'S')) {
            starts.push_back(i);
        }
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
        if (sddl[starts[k]] != letter) continue;
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : sddl.size();
        return sddl.substr(starts[k] + 2, end - starts[k] - 2);
    }
    return std::nullopt;
}

bool HasFlag(std::wstring_view flags, std::wstring_view flag) {
    for (std::size_t i = 0; i + 1 < flags.size(); i += 2) {
        if (flags.substr(i, 2) == flag) return true;
    }
    return false;
}

}  // namespace

const wchar_t kInstalledSddl[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

const wchar_t kViewPipeSddl[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;IU)";

std::wstring SetupText(bool install, SetupOutcome outcome, const std::wstring& detail) {
    const std::wstring nothing = install ? Text(IDS_SETUP_NOT_INSTALLED) : std::wstring();
    switch (outcome) {
        case SetupOutcome::Done:
            return Text(install ? IDS_SETUP_INSTALLED : IDS_SETUP_REMOVED, {detail});
        case SetupOutcome::NeedsAdmin:
            return Text(IDS_SETUP_NEEDS_ADMIN, {install ? L"/install" : L"/uninstall"});
        case SetupOutcome::BadCommandLine:
            return Text(IDS_SETUP_BAD_ARGS, {detail});
        case SetupOutcome::SettingsMissing:
            return Text(IDS_SETUP_NO_SETTINGS, {detail, nothing});
        case SetupOutcome::SettingsRefused:
            return Text(IDS_SETUP_SETTINGS_REFUSED, {detail, nothing});
        case SetupOutcome::UnsafeFolder:
            return Text(IDS_SETUP_UNSAFE_FOLDER, {detail, nothing});
        case SetupOutcome::FileFailed:
            return Text(install ? IDS_SETUP_COPY_FAILED : IDS_SETUP_DELETE_FAILED, {detail});
        case SetupOutcome::RegisterFailed:
            return Text(install ? IDS_SETUP_REGISTER_FAILED : IDS_SETUP_UNREGISTER_FAILED,
                        {detail});
        case SetupOutcome::ServiceFailed:
            return Text(install ? IDS_SETUP_START_FAILED : IDS_SETUP_STOP_FAILED, {detail});
    }
    return detail;
}

SettingsVerdict CheckSettingsBytes(const std::optional<std::string>& bytes) {
    SettingsVerdict verdict;
    if (!bytes) {
        verdict.outcome = SetupOutcome::SettingsMissing;
        return verdict;
    }
    ConfigStore store(std::make_unique<BytesFileSystem>(*bytes), L"Vorlane.ini");
    if (store.Load() != LoadState::Loaded) {
        verdict.outcome = SetupOutcome::SettingsRefused;
        verdict.reason = Text(IDS_SETTINGS_UNREADABLE);
        return verdict;
    }
    const DialogInput stored = ReadStoredInput(
        [&store](const wchar_t* key) { return Utf8ToWide(store.GetText(WideToUtf8(key))); },
        [&store](const wchar_t* key) { return store.GetBool(WideToUtf8(key)); });
    if (!StoredSettingsPass(stored, verdict.values)) {
        verdict.outcome = SetupOutcome::SettingsRefused;
        verdict.reason = StoredSettingsRefusal(stored);
    }
    return verdict;
}

FolderStep DecideFolder(const FolderFacts& facts) {
    if (!facts.exists) return FolderStep::Create;
    if (!facts.directory || facts.reparsePoint) return FolderStep::Refuse;
    return FolderStep::Secure;
}

SecurityFacts ParseSddl(std::wstring_view sddl) {
    SecurityFacts facts;
    facts.owner = SidOf(Section(sddl, L'O').value_or(std::wstring_view()));
    const std::optional<std::wstring_view> section = Section(sddl, L'D');
    const std::wstring_view dacl = section.value_or(std::wstring_view());
    facts.hasDacl = section && dacl.find(L"NO_ACCESS_CONTROL") == std::wstring_view::npos;
    std::size_t at = dacl.find(L'(');
    while (at != std::wstring_view::npos) {
        const std::size_t end = dacl.find(L')', at);
        const std::wstring_view ace = dacl.substr(
            at + 1, end == std::wstring_view::npos ? std::wstring_view::npos : end - at - 1);
        const std::vector<std::wstring_view> fields = Split(ace, L';');
        AceFacts entry;
        if (fields.size() >= 6) {
            const std::wstring_view type = fields[0];
            entry.allow = !(type == L"D" || type == L"OD" || type == L"AU" || type == L"AL" ||
                            type == L"ML" || type == L"OU" || type == L"OL");
            entry.inheritOnly = HasFlag(fields[1], L"IO");
            entry.mask = MaskOf(fields[2]);
            entry.sid = SidOf(fields[5]);
        } else {
            // Unreadable: the worst.
            entry.mask = 0xFFFFFFFF;
            entry.sid = L"(unreadable)";
        }
        facts.aces.push_back(std::move(entry));
        if (end == std::wstring_view::npos) break;
        at = dacl.find(L'(', end);
    }
    return facts;
}

std::wstring OthersWhoCanWrite(const SecurityFacts& facts, const std::wstring& ownSid) {
    const auto trusted = [&ownSid](const std::wstring& sid) {
        if (!ownSid.empty() && sid == ownSid) return true;
        for (const wchar_t* known : kTrusted) {
            if (sid == known) return true;
        }
        return false;
    };
    std::vector<std::wstring> named;
    std::wstring others;
    const auto add = [&named, &others](const std::wstring& who) {
        for (const std::wstring& seen : named) {
            if (seen == who) return;
        }
        named.push_back(who);
        if (!others.empty()) others += L", ";
        others += who;
    };
    if (!trusted(facts.owner)) add(facts.owner.empty() ? L"(no owner)" : facts.owner);
    if (!facts.hasDacl) add(L"S-1-1-0");
    for (const AceFacts& ace : facts.aces) {
        if (ace.allow && !ace.inheritOnly && (ace.mask & kWriteRights) != 0 && !trusted(ace.sid)) {
            add(ace.sid);
        }
    }
    return others;
}

}  // namespace vorlane
