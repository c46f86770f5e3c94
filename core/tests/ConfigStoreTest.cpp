#include "core/ConfigStore.h"
#include "core/SettingsPlace.h"

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Files in memory, with a switch to make any one step fail.
struct Disk {
    std::map<std::wstring, std::string> files;
    bool failRead = false;
    bool failWrite = false;
    std::wstring failReplaceFrom;  // Replace fails when moving this path
    int writes = 0;
};

class FakeFileSystem : public FileSystem {
  public:
    explicit FakeFileSystem(Disk& disk) : disk_(disk) {}

    ReadStatus Read(const std::wstring& path, size_t limit, std::string& bytes) override {
        auto it = disk_.files.find(path);
        if (it == disk_.files.end()) return ReadStatus::NotFound;
        if (disk_.failRead) return ReadStatus::Failed;
        if (it->second.size() > limit) return ReadStatus::TooLarge;
        bytes = it->second;
        return ReadStatus::Ok;
    }
    bool WriteFlushed(const std::wstring& path, const std::string& bytes) override {
        ++disk_.writes;
        if (disk_.failWrite) {
            disk_.files[path] = bytes.substr(0, bytes.size() / 2);  // a full disk: a torn temp
            return false;
        }
        disk_.files[path] = bytes;
        return true;
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        if (from == disk_.failReplaceFrom) return false;
        auto it = disk_.files.find(from);
        if (it == disk_.files.end()) return false;
        disk_.files[to] = it->second;
        disk_.files.erase(from);
        return true;
    }
    void Remove(const std::wstring& path) override { disk_.files.erase(path); }

  private:
    Disk& disk_;
};

const std::wstring kPath = L"C:\\app\\Vorlane.ini";

class ConfigStoreTest : public testing::Test {
  protected:
    std::unique_ptr<ConfigStore> Open() {
        auto store = std::make_unique<ConfigStore>(std::make_unique<FakeFileSystem>(disk_), kPath);
        store->Load();
        return store;
    }
    std::string File() { return disk_.files[kPath]; }

    Disk disk_;
};

TEST_F(ConfigStoreTest, EveryKeyTypeRoundTripsThroughTheFile) {
    auto store = Open();
    EXPECT_EQ(store->state(), LoadState::Missing);
    EXPECT_EQ(store->SetText("ping", "http://\xE4\xBE\x8B.example/ \xF0\x9F\x98\x80"),
              SaveOutcome::Saved);
    EXPECT_EQ(store->SetInt("trytimes", 7), SaveOutcome::Saved);
    EXPECT_EQ(store->SetInt("posleft", -2147483647 - 1), SaveOutcome::Saved);
    EXPECT_EQ(store->SetBool("bwav", false), SaveOutcome::Saved);
    EXPECT_EQ(store->SetBool("bshutdown", true), SaveOutcome::Saved);
    EXPECT_EQ(store->SetText("cmduser", " shutdown -s & echo \"%x%\" "), SaveOutcome::Saved);

    auto again = Open();
    EXPECT_EQ(again->state(), LoadState::Loaded);
    EXPECT_EQ(again->GetText("ping"), "http://\xE4\xBE\x8B.example/ \xF0\x9F\x98\x80");
    EXPECT_EQ(again->GetText("trytimes"), "7");  // an integer reads back as its text
    EXPECT_EQ(again->GetInt("trytimes"), 7);
    EXPECT_EQ(again->GetInt("posleft"), -2147483647 - 1);
    EXPECT_FALSE(again->GetBool("bwav"));
    EXPECT_EQ(again->GetText("bwav"), "0");
    EXPECT_TRUE(again->GetBool("bshutdown"));
    EXPECT_EQ(again->GetText("cmduser"), " shutdown -s & echo \"%x%\" ");
    EXPECT_EQ(again->GetInt("PING"), 0);
}

TEST_F(ConfigStoreTest, AbsentKeysGiveTheStoreDefaults) {
    auto store = Open();
    EXPECT_EQ(store->GetText("ping"), "");
    EXPECT_EQ(store->GetText("trytimes"), "3");
    EXPECT_EQ(store->GetText("tryinterval"), "5");
    EXPECT_EQ(store->GetText("djs"), "60");
    EXPECT_EQ(store->GetText("cmduser"), "");
    EXPECT_TRUE(store->GetBool("bwav"));
    EXPECT_FALSE(store->GetBool("bshutdown"));
    EXPECT_EQ(store->GetInt("fontsize"), 16);
    EXPECT_EQ(store->GetText("helphost"), "www.vorlane.example");
    EXPECT_FALSE(store->Has("posleft"));
    EXPECT_EQ(store->GetText("posleft"), "");
    EXPECT_EQ(store->GetInt("postop"), 0);
    EXPECT_EQ(store->GetText("fontname"), "");
    store->SetDefault("FontName", "SimSun");
    EXPECT_EQ(store->GetText("fontname"), "SimSun");
    EXPECT_TRUE(disk_.files.empty());  // reading never creates the file

    disk_.files[kPath] = "[Vorlane]\ntrytimes=\nposleft=12\n";
    auto stored = Open();
    EXPECT_EQ(stored->GetText("trytimes"), "");  // a stored empty value is a value
    EXPECT_TRUE(stored->Has("posleft"));
    EXPECT_TRUE(stored->Has("TryTimes"));
}

TEST_F(ConfigStoreTest, CommentsAndUnknownKeysSurviveASave) {
    disk_.files[kPath] = "; mine\n[Vorlane]\nping=a.b\nfuture=yes\n[Elsewhere]\nk=v\n";
    auto store = Open();
    ASSERT_EQ(store->SetText("ping", "c.d"), SaveOutcome::Saved);
    EXPECT_EQ(File(), "; mine\n[Vorlane]\nping=c.d\nfuture=yes\n[Elsewhere]\nk=v\n");
}

TEST_F(ConfigStoreTest, ASeedIsReadUntilTheFirstSaveWritesItWholeToTheFile) {
    const std::wstring seed = L"E:\\Vorlane.ini";
    disk_.files[seed] = "; mine\n[Vorlane]\nping=a.b\nfuture=yes\n";
    ConfigStore store(std::make_unique<FakeFileSystem>(disk_), kPath, seed);
    EXPECT_EQ(store.Load(), LoadState::Loaded);
    EXPECT_TRUE(store.readFromSeed());
    EXPECT_EQ(store.GetText("ping"), "a.b");
    ASSERT_EQ(store.SetText("ping", "c.d"), SaveOutcome::Saved);
    EXPECT_EQ(File(), "; mine\n[Vorlane]\nping=c.d\nfuture=yes\n");
    EXPECT_EQ(disk_.files[seed], "; mine\n[Vorlane]\nping=a.b\nfuture=yes\n");

    // Once the file exists it wins over the seed.
    ConfigStore next(std::make_unique<FakeFileSystem>(disk_), kPath, seed);
    next.Load();
    EXPECT_FALSE(next.readFromSeed());
    EXPECT_EQ(next.GetText("ping"), "c.d");

    // An unreadable seed is left where it is, not set aside.
    disk_.files.erase(kPath);
    disk_.files[seed] = std::string("\0\0", 2);
    ConfigStore broken(std::make_unique<FakeFileSystem>(disk_), kPath, seed);
    EXPECT_EQ(broken.Load(), LoadState::Unreadable);
    ASSERT_EQ(broken.SetText("ping", "e.f"), SaveOutcome::Saved);
    EXPECT_EQ(disk_.files.count(seed), 1u);
    EXPECT_EQ(disk_.files.count(kPath + L".bad"), 0u);
}

TEST_F(ConfigStoreTest, AReadOnlyFolderWithOrWithoutASeedNeverHasItWritten) {
    const std::wstring stick = L"E:\\Vorlane\\";
    const std::wstring seed = stick + L"Vorlane.ini";
    const SettingsPlace place = ChooseSettingsPlace(stick, false, kPath, false);
    ASSERT_EQ(place.seed, seed);

    // No file beside the exe: a first start, at the defaults.
    ConfigStore fresh(std::make_unique<FakeFileSystem>(disk_), place.path, place.seed);
    EXPECT_EQ(fresh.Load(), LoadState::Missing);
    EXPECT_FALSE(fresh.readFromSeed());
    ASSERT_EQ(fresh.SetText("ping", "a.b"), SaveOutcome::Saved);
    EXPECT_EQ(File(), "[Vorlane]\r\nping=a.b\r\n");
    EXPECT_EQ(disk_.files.count(seed), 0u);

    // With one, and nowhere to save: read, kept in memory, nothing written.
    disk_ = Disk();
    disk_.files[seed] = "[Vorlane]\nping=c.d\n";
    const SettingsPlace nowhere = ChooseSettingsPlace(stick, false, L"", false);
    ConfigStore seeded(std::make_unique<FakeFileSystem>(disk_), nowhere.path, nowhere.seed);
    EXPECT_EQ(seeded.Load(), LoadState::Loaded);
    EXPECT_TRUE(seeded.readFromSeed());
    EXPECT_EQ(seeded.SetText("ping", "e.f"), SaveOutcome::NotNeeded);
    EXPECT_EQ(seeded.GetText("ping"), "e.f");
    EXPECT_EQ(disk_.writes, 0);
    EXPECT_EQ(disk_.files[seed], "[Vorlane]\nping=c.d\n");
}

TEST_F(ConfigStoreTest, ABatchIsOneWrite) {
    auto store = Open();
    store->BeginBatch();
    EXPECT_EQ(store->SetInt("posleft", 10), SaveOutcome::NotNeeded);
    store->BeginBatch();
    EXPECT_EQ(store->SetInt("postop", 20), SaveOutcome::NotNeeded);
    EXPECT_EQ(store->EndBatch(), SaveOutcome::NotNeeded);  // inner end: not yet
    EXPECT_EQ(disk_.writes, 0);
    EXPECT_EQ(store->EndBatch(), SaveOutcome::Saved);
    EXPECT_EQ(disk_.writes, 1);
    EXPECT_EQ(File(), "[Vorlane]\r\nposleft=10\r\npostop=20\r\n");

    store->BeginBatch();
    EXPECT_EQ(store->EndBatch(), SaveOutcome::NotNeeded);  // nothing set, nothing written
    EXPECT_EQ(disk_.writes, 1);
    EXPECT_FALSE(disk_.files.count(kPath + L".tmp"));
}

TEST_F(ConfigStoreTest, AFailedSaveAtAnyStepKeepsTheOldFile) {
    const std::string old = "[Vorlane]\nping=old.example\n";
    for (int step = 0; step < 2; ++step) {
        disk_ = Disk();
        disk_.files[kPath] = old;
        auto store = Open();
        if (step == 0) disk_.failWrite = true;                   // e.g. the disk is full
        if (step == 1) disk_.failReplaceFrom = kPath + L".tmp";  // killed before the rename
        EXPECT_EQ(store->SetText("ping", "new.example"), SaveOutcome::Failed) << step;
        EXPECT_EQ(File(), old) << step;
        EXPECT_FALSE(disk_.files.count(kPath + L".tmp")) << step;
        EXPECT_EQ(store->GetText("ping"), "new.example");  // the run goes on with it

        // The next save that works writes everything still pending.
        disk_.failWrite = false;
        disk_.failReplaceFrom.clear();
        EXPECT_EQ(store->SetInt("djs", 9), SaveOutcome::Saved);
        auto again = Open();
        EXPECT_EQ(again->GetText("ping"), "new.example");
        EXPECT_EQ(again->GetInt("djs"), 9);
    }
}

TEST_F(ConfigStoreTest, AKillBetweenTempAndRenameLeavesOldFileAndAStaleTemp) {
    disk_.files[kPath] = "[Vorlane]\nping=old.example\n";
    disk_.files[kPath + L".tmp"] = "[Vorlane]\nping=half";  // left by a killed save
    auto store = Open();
    EXPECT_EQ(store->GetText("ping"), "old.example");
    EXPECT_EQ(store->SetText("ping", "new.example"), SaveOutcome::Saved);
    EXPECT_EQ(Open()->GetText("ping"), "new.example");
    EXPECT_FALSE(disk_.files.count(kPath + L".tmp"));
}

TEST_F(ConfigStoreTest, UnreadableFileIsSetAsideBeforeTheFirstSave) {
    const std::string corrupt("[Vorlane]\nping=a.b\0\0\0", 20);
    disk_.files[kPath] = corrupt;
    auto store = Open();
    EXPECT_EQ(store->state(), LoadState::Unreadable);
    EXPECT_EQ(store->parseError(), ParseError::NulByte);
    EXPECT_EQ(store->GetText("ping"), "");  // defaults, not half a file
    EXPECT_EQ(store->GetInt("trytimes"), 3);
    EXPECT_EQ(File(), corrupt);  // untouched while nothing is saved

    ASSERT_EQ(store->SetInt("posleft", 5), SaveOutcome::Saved);
    EXPECT_EQ(disk_.files[kPath + L".bad"], corrupt);
    EXPECT_EQ(File(), "[Vorlane]\r\nposleft=5\r\n");
    ASSERT_EQ(store->SetInt("postop", 6), SaveOutcome::Saved);
    EXPECT_EQ(disk_.files[kPath + L".bad"], corrupt);  // set aside once, not again
}

TEST_F(ConfigStoreTest, UnreadableFileIsNeverOverwrittenWhenItCannotBeSetAside) {
    const std::string utf16("\xFF\xFE[\0V\0]\0", 8);
    disk_.files[kPath] = utf16;
    auto store = Open();
    EXPECT_EQ(store->parseError(), ParseError::Utf16Bom);
    disk_.failReplaceFrom = kPath;
    EXPECT_EQ(store->SetInt("posleft", 5), SaveOutcome::Failed);
    EXPECT_EQ(File(), utf16);
    EXPECT_EQ(disk_.writes, 0);

    disk_.failReplaceFrom.clear();
    EXPECT_EQ(store->SetInt("postop", 6), SaveOutcome::Saved);
    EXPECT_EQ(disk_.files[kPath + L".bad"], utf16);
    auto again = Open();
    EXPECT_EQ(again->GetInt("posleft"), 5);
    EXPECT_EQ(again->GetInt("postop"), 6);
}

TEST_F(ConfigStoreTest, FileThatCannotBeReadOrIsHugeCountsAsUnreadable) {
    disk_.files[kPath] = "[Vorlane]\nping=a.b\n";
    disk_.failRead = true;
    EXPECT_EQ(Open()->state(), LoadState::Unreadable);

    disk_ = Disk();
    disk_.files[kPath] = std::string(kMaxIniBytes + 1, ';');
    auto store = Open();
    EXPECT_EQ(store->parseError(), ParseError::TooLarge);
    ASSERT_EQ(store->SetInt("djs", 1), SaveOutcome::Saved);
    EXPECT_EQ(disk_.files[kPath + L".bad"].size(), kMaxIniBytes + 1);
}

TEST_F(ConfigStoreTest, RefusedKeyAndMemoryOnlyStore) {
    auto store = Open();
    EXPECT_EQ(store->SetText("bad=key", "v"), SaveOutcome::Failed);
    EXPECT_EQ(disk_.writes, 0);

    ConfigStore memory(nullptr, L"");
    EXPECT_EQ(memory.Load(), LoadState::Missing);
    EXPECT_EQ(memory.SetInt("djs", 4), SaveOutcome::NotNeeded);
    EXPECT_EQ(memory.GetText("djs"), "4");
}

}  // namespace
}  // namespace vorlane
