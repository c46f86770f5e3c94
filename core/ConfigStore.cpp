#include "core/ConfigStore.h"

#include <string>

#include "core/Digits.h"
#include "core/SettingsTable.h"
#include "core/Utf.h"

namespace vorlane {
namespace {

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace

const std::map<std::string, std::string>& StoreDefaults() {
    static const std::map<std::string, std::string> defaults = [] {
        std::map<std::string, std::string> values;
        for (const Setting& setting : Settings()) {
            if (setting.absent) values.emplace(WideToUtf8(setting.key), setting.absent);
        }
        return values;
    }();
    return defaults;
}

ConfigStore::ConfigStore(std::unique_ptr<FileSystem> fs, std::wstring path, std::wstring seed)
    : fs_(std::move(fs)),
      path_(std::move(path)),
      seed_(std::move(seed)),
      defaults_(StoreDefaults()) {}

LoadState ConfigStore::Load() {
    document_ = IniDocument();
    parseError_ = ParseError::None;
    setAsidePending_ = false;
    dirty_ = false;
    readFromSeed_ = false;
    state_ = LoadState::Missing;
    if (!fs_) return state_;

    std::string bytes;
    FileSystem::ReadStatus status =
        path_.empty() ? FileSystem::ReadStatus::NotFound : fs_->Read(path_, kMaxIniBytes, bytes);
    if (status == FileSystem::ReadStatus::NotFound && !seed_.empty()) {
        status = fs_->Read(seed_, kMaxIniBytes, bytes);
        readFromSeed_ = status != FileSystem::ReadStatus::NotFound;
    }
    switch (status) {
        case FileSystem::ReadStatus::NotFound:
            return state_;
        case FileSystem::ReadStatus::TooLarge:
            parseError_ = ParseError::TooLarge;
            break;
        case FileSystem::ReadStatus::Failed:
            // A file that exists but cannot be read is not ours to replace
            // blindly either: keep it, renamed, like a corrupt one.
            break;
        case FileSystem::ReadStatus::Ok:
            parseError_ = document_.Parse(bytes).error;
            if (parseError_ == ParseError::None) {
                state_ = LoadState::Loaded;
                return state_;
            }
            break;
    }
    document_ = IniDocument();
    state_ = LoadState::Unreadable;
    // A seed is never written, so there is nothing of it to set aside.
    setAsidePending_ = !readFromSeed_;
    return state_;
}

bool ConfigStore::Has(std::string_view key) const {
    return document_.Get(kStoreSection, key).has_value();
}

std::string ConfigStore::GetText(std::string_view key) const {
    if (auto value = document_.Get(kStoreSection, key)) return *value;
    auto it = defaults_.find(LowerAscii(key));
    return it == defaults_.end() ? std::string() : it->second;
}

int ConfigStore::GetInt(std::string_view key) const { return ReadIntLikeAtoi(GetText(key)); }

bool ConfigStore::GetBool(std::string_view key) const { return ReadBool(GetText(key)); }

void ConfigStore::SetDefault(const std::string& key, const std::string& value) {
    defaults_[LowerAscii(key)] = value;
}

SaveOutcome ConfigStore::SetText(std::string_view key, std::string_view value) {
    return Changed(document_.Set(kStoreSection, key, value));
}

SaveOutcome ConfigStore::SetInt(std::string_view key, int value) {
    return SetText(key, Decimal<char>(value));
}

SaveOutcome ConfigStore::SetBool(std::string_view key, bool value) {
    return SetText(key, value ? "1" : "0");
}

void ConfigStore::BeginBatch() { ++batchDepth_; }

SaveOutcome ConfigStore::EndBatch() {
    if (batchDepth_ > 0) --batchDepth_;
    return batchDepth_ == 0 ? Save() : SaveOutcome::NotNeeded;
}

SaveOutcome ConfigStore::Changed(bool accepted) {
    if (!accepted) return SaveOutcome::Failed;
    dirty_ = true;
    return batchDepth_ > 0 ? SaveOutcome::NotNeeded : Save();
}

SaveOutcome ConfigStore::Save() {
    if (!dirty_ || path_.empty() || !fs_) return SaveOutcome::NotNeeded;

    if (setAsidePending_) {
        std::string ignored;
        if (!fs_->Replace(path_, badPath()) &&
            fs_->Read(path_, 0, ignored) != FileSystem::ReadStatus::NotFound) {
            return SaveOutcome::Failed;
        }
        setAsidePending_ = false;
    }
    const std::wstring temp = tempPath();
    if (!fs_->WriteFlushed(temp, document_.Serialize()) || !fs_->Replace(temp, path_)) {
        fs_->Remove(temp);
        return SaveOutcome::Failed;
    }
    dirty_ = false;
    state_ = LoadState::Loaded;
    return SaveOutcome::Saved;
}

}  // namespace vorlane
