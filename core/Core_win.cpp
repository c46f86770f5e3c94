// CCore: the settings store's place on disk, the stored values, paths, and
// the two message boxes.
#include "core/Core.h"

#include <climits>
#include <cstdlib>

#include "core/ConfigStore.h"
#include "core/CoreInternal_win.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Identity.h"
#include "core/SettingsPlace.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "core/Utf.h"
#include "res/resource.h"

namespace vorlane {

std::unique_ptr<CCore> theCore;
std::unique_ptr<tagSoft> productIdentity;

namespace {

std::string Key(const std::wstring& key) { return WideToUtf8(key); }

const wchar_t* LoadStateName(LoadState state) {
    switch (state) {
        case LoadState::Missing:
            return L"missing";
        case LoadState::Loaded:
            return L"loaded";
        case LoadState::Unreadable:
            return L"unreadable";
    }
    return L"";
}

// Test hook for the end-to-end case that kills the program while it saves:
// VORLANE_TEST_SAVE_LOOP=N makes start-up save N further generations of the
// settings as fast as it can, one atomic batch each, before it goes on as
// usual. Every key of a batch holds the same generation number, and a long
// value makes each write span several blocks, so a torn or mixed file shows.
void SaveLoopIfAsked(CCore& core) {
    wchar_t buffer[16] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"VORLANE_TEST_SAVE_LOOP", buffer, 16);
    if (n == 0 || n >= 16) return;
    const int count = _wtoi(buffer);
    const int first = core.getConfigInt(L"trytimes");
    for (int i = 1; i <= count && first <= INT_MAX - i; ++i) {
        const int generation = first + i;
        const std::wstring mark = Decimal(generation);
        core.beginBatch();
        core.saveConfigInt(L"trytimes", generation);
        core.saveConfigInt(L"djs", generation);
        core.saveConfigStr(L"cmduser", mark + L" " + std::wstring(8000, L'x') + L" " + mark);
        core.saveConfigStr(L"ping", L"127.0.0." + Decimal(generation % 250 + 1));
        core.endBatch();
    }
}

}  // namespace

CCore::CCore()
    : store_(std::make_unique<ConfigStore>(nullptr, std::wstring())), appPath_(ProgramFolder()) {}

CCore::~CCore() = default;

void CCore::autoFileConfig(const SettingsPlace& place) {
    const std::wstring& path = place.path;
    const std::wstring folder = FolderToMake(path, appPath_);
    // Fails harmlessly when it exists.
    if (!folder.empty()) ::CreateDirectoryW(folder.c_str(), nullptr);
    auto disk = std::make_unique<WindowsFileSystem>();
    disk_ = disk.get();
    store_ = std::make_unique<ConfigStore>(std::move(disk), path, place.seed);
    const LoadState state = store_->Load();
    if (TraceEnabled()) {
        std::wstring detail = std::wstring(LoadStateName(state)) + L"\t" + path;
        if (state == LoadState::Unreadable) {
            detail += L"\t" + Utf8ToWide(ParseErrorName(store_->parseError()));
        }
        Trace(L"store", detail);
        if (store_->readFromSeed()) Trace(L"store", L"seed\t" + place.seed);
    }
    SaveLoopIfAsked(*this);
}

std::wstring CCore::getAppPath() const { return appPath_; }

int CCore::getConfigInt(const std::wstring& key) const { return store_->GetInt(Key(key)); }

std::wstring CCore::getConfigStr(const std::wstring& key) const {
    return Utf8ToWide(store_->GetText(Key(key)));
}

BOOL CCore::getConfigB(const std::wstring& key) const {
    return store_->GetBool(Key(key)) ? TRUE : FALSE;
}

bool CCore::hasConfig(const std::wstring& key) const {
    return store_->Has(Key(key)) && !store_->GetText(Key(key)).empty();
}

void CCore::saveConfigInt(const std::wstring& key, int value) {
    reportSave(store_->SetInt(Key(key), value), L"settings");
}

void CCore::saveConfigStr(const std::wstring& key, const std::wstring& value) {
    reportSave(store_->SetText(Key(key), WideToUtf8(value)), L"settings");
}

void CCore::saveConfigB(const std::wstring& key, BOOL value) {
    reportSave(store_->SetBool(Key(key), value != FALSE), L"settings");
}

void CCore::beginBatch() { store_->BeginBatch(); }

void CCore::endBatch(const wchar_t* what) { reportSave(store_->EndBatch(), what); }

void CCore::reportSave(SaveOutcome outcome, const wchar_t* what) {
    ReportSaveOutcome(outcome, what, store_->path(), disk_ ? disk_->lastError() : 0);
}

std::wstring CCore::getStrInt(int value) const { return Decimal(value); }

std::wstring CCore::getPathShort(const std::wstring& path) const {
    const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring shortPath(needed, L'\0');
    const DWORD n = ::GetShortPathNameW(path.c_str(), &shortPath[0], needed);
    if (n == 0 || n >= needed) return path;
    shortPath.resize(n);
    return shortPath;
}

BOOL CCore::isFileExist(const std::wstring& path) const {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CCore::msgboxWarning(HWND owner, const std::wstring& text) const {
    ProgramLog().write("warning", LogDetails().add(L"text", text));
    ::MessageBoxW(owner, text.c_str(), L"Vorlane", MB_OK | MB_ICONWARNING);
}

std::wstring CCore::uu(int operation, const tagSoft* identity, const std::wstring& /*text*/) {
    if (operation != OprAbout || !identity) return std::wstring();
    std::wstring body;
    if (auto info = DecodeIdentityBytes(identity->bytes, sizeof(identity->bytes))) {
        const auto wide = [](const std::u16string& s) { return Utf8ToWide(Utf16ToUtf8(s)); };
        body = wide(info->shortName) + L" " + wide(info->kind) + L"\n" +
               Text(IDS_ABOUT_VERSION, {wide(info->version)}) + L"\n" + wide(info->fullName);
    } else {
        body = L"Vorlane";
    }
    Trace(L"window", L"about-box");
    const std::wstring title = Text(IDS_ABOUT_TITLE);
    ::MessageBoxW(::GetActiveWindow(), body.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
    return std::wstring();
}

std::wstring CCore::configPath() const { return store_->path(); }

void FillProductIdentity(tagSoft& record) {
    static_assert(sizeof(record.bytes) == kIdentitySize, "the record's size is fixed");
    FillIdentityBytes(record.bytes);
}

}  // namespace vorlane
