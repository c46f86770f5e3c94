// The configuration store: the settings file's document, the values given for
// absent keys, and the save procedure. The file system is reached through
// FileSystem so that every step of a save can be made to fail in a test.
//
// A save writes the whole document to "<file>.tmp" in the same folder,
// flushes it, and replaces the file by it in one rename, so that a kill at any
// moment leaves the old file or the new one, never a torn one. A file that
// could not be read or parsed is renamed to "<file>.bad" before the first
// save rather than overwritten; until then the store runs on defaults.
//
// A seed file stands in for the file while that does not exist: it is read
// as if it were the file, never written, and the first save writes the whole
// document, its comments and unknown keys included, to the file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "core/IniDocument.h"

namespace vorlane {

class FileSystem {
  public:
    enum class ReadStatus { Ok, NotFound, TooLarge, Failed };
    virtual ~FileSystem() = default;
    // Reads the whole file; TooLarge (without reading it) beyond `limit` bytes.
    virtual ReadStatus Read(const std::wstring& path, size_t limit, std::string& bytes) = 0;
    // Creates or truncates the file, writes every byte and flushes it to disk.
    virtual bool WriteFlushed(const std::wstring& path, const std::string& bytes) = 0;
    // Renames `from` onto `to` in one step, replacing `to` if it exists.
    virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Remove(const std::wstring& path) = 0;
};

// The section the program's keys live in.
constexpr std::string_view kStoreSection = "Vorlane";

// The store's values for absent keys, from the table of settings
// (core/SettingsTable.h). Keys without one read as "", 0 and false;
// "fontname"'s default depends on the installed fonts and is the program's
// to supply.
const std::map<std::string, std::string>& StoreDefaults();

enum class LoadState {
    Missing,  // no file yet: defaults until the first save creates it
    Loaded,
    Unreadable,  // could not be read or parsed: set aside at the first save
};

enum class SaveOutcome {
    NotNeeded,  // nothing changed, or no file chosen (values kept in memory)
    Saved,
    Failed,  // the old file, if any, is untouched; the values stay in memory
};

class ConfigStore {
  public:
    // An empty path keeps everything in memory.
    ConfigStore(std::unique_ptr<FileSystem> fs, std::wstring path, std::wstring seed = {});

    LoadState Load();
    LoadState state() const { return state_; }
    // Why the file was unreadable (None otherwise).
    ParseError parseError() const { return parseError_; }
    const std::wstring& path() const { return path_; }
    // True when the last Load found no file and read the seed instead.
    bool readFromSeed() const { return readFromSeed_; }
    std::wstring badPath() const { return path_ + L".bad"; }
    std::wstring tempPath() const { return path_ + L".tmp"; }

    // Keys compare case-insensitively (ASCII). Has is true when the file (or
    // a save in this run) holds a value for the key, even an empty one.
    bool Has(std::string_view key) const;
    std::string GetText(std::string_view key) const;
    int GetInt(std::string_view key) const;
    bool GetBool(std::string_view key) const;
    void SetDefault(const std::string& key, const std::string& value);

    // Outside a batch every set is saved at once; inside one, at EndBatch.
    // A key the file format cannot hold is refused with Failed.
    SaveOutcome SetText(std::string_view key, std::string_view value);
    SaveOutcome SetInt(std::string_view key, int value);
    SaveOutcome SetBool(std::string_view key, bool value);

    // Batches nest; the outermost EndBatch saves once if anything was set.
    void BeginBatch();
    SaveOutcome EndBatch();

  private:
    SaveOutcome Changed(bool accepted);
    SaveOutcome Save();

    std::unique_ptr<FileSystem> fs_;
    std::wstring path_;
    std::wstring seed_;
    IniDocument document_;
    std::map<std::string, std::string> defaults_;
    LoadState state_ = LoadState::Missing;
    ParseError parseError_ = ParseError::None;
    bool setAsidePending_ = false;
    bool readFromSeed_ = false;
    bool dirty_ = false;
    int batchDepth_ = 0;
};

}  // namespace vorlane
