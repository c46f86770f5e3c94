#include "core/EventLog.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

struct FakeLogDisk : LogDisk {
    std::map<std::wstring, std::string> files;
    int failuresLeft = 0;  // appends that fail from now on
    int appends = 0;
    std::vector<bool> flushes;

    bool append(const std::wstring& path, std::string_view bytes, bool flush) override {
        ++appends;
        if (failuresLeft > 0) {
            --failuresLeft;
            return false;
        }
        files[path] += bytes;
        flushes.push_back(flush);
        return true;
    }
    std::uint64_t size(const std::wstring& path) override {
        auto it = files.find(path);
        return it == files.end() ? 0 : it->second.size();
    }
    bool replace(const std::wstring& from, const std::wstring& to) override {
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    unsigned long lastError() const override { return 112; }
};

struct FixedClock : LogClock {
    LocalTime at;
    LocalTime now() override { return at; }
};

const std::wstring kPath = L"C:\\app\\Vorlane.log";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "a line without its newline";
    return lines;
}

TEST(EventLogFormat, TimeOffsetsAndEscapes) {
    LocalTime at{2026, 3, 7, 9, 5, 4, 7, 8 * 60};
    EXPECT_EQ(FormatLocalTime(at), "2026-03-07 09:05:04.007 +08:00");
    at.offsetMinutes = -(3 * 60 + 30);
    EXPECT_EQ(FormatLocalTime(at), "2026-03-07 09:05:04.007 -03:30");
    at.offsetMinutes = 0;
    at.millisecond = 999;
    EXPECT_EQ(FormatLocalTime(at), "2026-03-07 09:05:04.999 +00:00");

    // A command line with a tab, a line break and a path stays one line whose
    // fields split on the real tabs only.
    const std::string line = FormatLogLine(at, "run",
                                           LogDetails()
                                               .add(L"command", L"a\tb\r\nc:\\x \x01 下载")
                                               .add(L"n", -5)
                                               .addSeconds(L"d", 61005));
    EXPECT_EQ(line,
              "2026-03-07 09:05:04.999 +00:00\trun\tcommand=a\\tb\\r\\nc:\\\\x \\x01 "
              "\xE4\xB8\x8B\xE8\xBD\xBD\tn=-5\td=61.005s\n");
    EXPECT_EQ(FormatLogLine(at, "exit", LogDetails()), "2026-03-07 09:05:04.999 +00:00\texit\t\n");
}

TEST(EventLogRotation, TheLineThatCrossesTheLimitStartsTheNewFileWhole) {
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock, 200);
    log.configure(kPath, true);
    disk.files[kPath + L".1"] = "older generation\n";
    const std::string one = FormatLogLine(clock.at, "down", LogDetails().add(L"target", L"x"));
    size_t written = 0;
    while (written + one.size() <= 200) {
        log.write("down", LogDetails().add(L"target", L"x"));
        written += one.size();
    }
    EXPECT_EQ(disk.files[kPath].size(), written);
    log.write("up", LogDetails().add(L"missed", 3));

    EXPECT_EQ(Lines(disk.files[kPath + L".1"]).size(), written / one.size());  // old .1 replaced
    const auto fresh = Lines(disk.files[kPath]);
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_NE(fresh[0].find("\tup\tmissed=3"), std::string::npos);
}

TEST(EventLogFailure, KeptLinesFollowAfterRecoveryWithOneWarning) {
    FakeLogDisk disk;
    FixedClock clock;
    clock.at = {2026, 12, 9, 3, 0, 0, 0, 60};
    EventLog log(disk, clock);
    log.configure(kPath, true);
    log.write("start");
    disk.failuresLeft = 2;
    log.write("down");
    EXPECT_TRUE(log.failing());
    EXPECT_EQ(log.failureError(), 112u);
    clock.at.minute = 1;
    log.write("drop");  // first the kept "down" is tried, and fails
    EXPECT_TRUE(log.failing());
    clock.at.minute = 2;
    log.write("run", LogDetails(), true);
    log.write("ran");
    EXPECT_FALSE(log.failing());

    const auto lines = Lines(disk.files[kPath]);
    ASSERT_EQ(lines.size(), 6u);
    const char* events[] = {"\tstart\t",   "\tdown\t", "\tdrop\t",
                            "\twarning\t", "\trun\t",  "\tran\t"};
    for (size_t i = 0; i < 6; ++i) EXPECT_NE(lines[i].find(events[i]), std::string::npos) << i;
    // The kept lines carry the moment they happened.
    EXPECT_EQ(lines[1].substr(0, 19), "2026-12-09 03:00:00");
    EXPECT_EQ(lines[2].substr(0, 19), "2026-12-09 03:01:00");
    EXPECT_NE(lines[3].find("2026-12-09 03:00:00 起无法写入（错误 112），2 行为事后补写，0 行丢失"),
              std::string::npos)
        << lines[3];
    // Only the "run" line asked to reach the disk before returning.
    EXPECT_EQ(disk.flushes, (std::vector<bool>{false, false, false, false, true, false}));
}

TEST(EventLogFailure, KeepsABoundedNumberOfLinesAndCountsTheRest) {
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock);
    log.configure(kPath, true);
    disk.failuresLeft = 1000000;
    for (size_t i = 0; i < kLogKeptLines + 50; ++i) log.write("down");
    disk.failuresLeft = 0;
    log.write("up");
    const auto lines = Lines(disk.files[kPath]);
    ASSERT_EQ(lines.size(), kLogKeptLines + 2);
    EXPECT_NE(lines[kLogKeptLines].find("100 行为事后补写，50 行丢失"), std::string::npos);
}

TEST(EventLogSwitch, ALineBeforeTheFileIsKnownComesFirstAndOffForgetsIt) {
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock);
    log.write("warning", LogDetails().add(L"text", L"early"));
    EXPECT_EQ(disk.appends, 0);
    log.configure(kPath, true);
    log.write("start");
    const auto lines = Lines(disk.files[kPath]);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\twarning\ttext=early"), std::string::npos);
    EXPECT_NE(lines[1].find("\tstart\t"), std::string::npos);

    EventLog off(disk, clock);
    off.write("warning");
    off.configure(kPath + L"2", false);
    off.configure(kPath + L"2", true);
    off.write("start");
    EXPECT_EQ(Lines(disk.files[kPath + L"2"]).size(), 1u);
}

TEST(EventLogSwitch, OffWritesNothingAndForgetsAFailure) {
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock);
    log.configure(kPath, false);
    log.write("start");
    EXPECT_EQ(disk.appends, 0);
    log.configure(kPath, true);
    disk.failuresLeft = 1;
    log.write("down");
    log.configure(kPath, false);
    EXPECT_FALSE(log.failing());
    log.configure(kPath, true);
    log.write("up");
    EXPECT_EQ(Lines(disk.files[kPath]).size(), 1u);
}

TEST(EventLogPlace, TheLogLivesBesideTheSettingsFileAndNowhereWithoutOne) {
    EXPECT_EQ(LogPathBeside(L"C:\\Program Files\\Vorlane 2\\Vorlane.ini"),
              L"C:\\Program Files\\Vorlane 2\\Vorlane.log");
    EXPECT_EQ(LogPathBeside(L"\\\\server\\share\\Vorlane.ini"), L"\\\\server\\share\\Vorlane.log");
    EXPECT_EQ(LogPathBeside(L"C:/tools/Vorlane.ini"), L"C:/tools/Vorlane.log");
    EXPECT_EQ(LogPathBeside(L"C:\\a.b/c d\\Vorlane"), L"C:\\a.b/c d\\Vorlane.log");
    EXPECT_EQ(LogPathBeside(L"Vorlane.ini"), L"Vorlane.log");

    // No settings file (nowhere to save): no log, and no line kept for one.
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock);
    log.configure(LogPathBeside(L""), true);
    EXPECT_FALSE(log.enabled());
    log.write("start");
    EXPECT_EQ(disk.appends, 0);
    EXPECT_FALSE(log.failing());
}

TEST(EventLogClock, TheOffsetIsRoundedToTheMinuteEitherSideOfUtc) {
    const long long second = 10000000;
    const long long utc = 134000000000000000LL;  // a moment in 2025
    const auto offset = [&](long long seconds, long long extraTicks = 0) {
        return UtcOffsetMinutes(utc + seconds * second + extraTicks, utc);
    };
    EXPECT_EQ(offset(0), 0);
    EXPECT_EQ(offset(8 * 3600), 8 * 60);
    EXPECT_EQ(offset(-(3 * 3600 + 30 * 60)), -(3 * 60 + 30));
    EXPECT_EQ(offset(5 * 3600 + 45 * 60), 5 * 60 + 45);
    EXPECT_EQ(offset(14 * 3600), 14 * 60);
    EXPECT_EQ(offset(-12 * 3600), -12 * 60);
    // Readings a moment apart land on the nearest minute, a half away from
    // zero on both sides.
    EXPECT_EQ(offset(8 * 3600 + 29, second - 1), 8 * 60);
    EXPECT_EQ(offset(8 * 3600 - 29, 1 - second), 8 * 60);
    EXPECT_EQ(offset(30), 1);
    EXPECT_EQ(offset(-30), -1);
    EXPECT_EQ(offset(29), 0);
    EXPECT_EQ(offset(-29), 0);
}

TEST(EventLogDisk, OnlyAWriteCutShortMakesTheNextLineStartOnANewLine) {
    TornLineMend mend;
    EXPECT_EQ(mend.toWrite("a\n"), "a\n");
    mend.wrote(false, 0);  // nothing reached the file: it ends with a whole line
    EXPECT_EQ(mend.toWrite("b\n"), "b\n");
    mend.wrote(false, 1);  // "b" without its line break
    EXPECT_EQ(mend.toWrite("c\n"), "\nc\n");
    mend.wrote(false, 0);  // the torn line is still there
    EXPECT_EQ(mend.toWrite("c\n"), "\nc\n");
    mend.wrote(false, 1);  // only the line break got through: a blank line, no harm
    EXPECT_EQ(mend.toWrite("c\n"), "\nc\n");
    mend.wrote(true, 3);
    EXPECT_EQ(mend.toWrite("d\n"), "d\n");
}

TEST(EventLogMirror, SeesEveryEventAtOnceKeptOffOrFailing) {
    FakeLogDisk disk;
    FixedClock clock;
    EventLog log(disk, clock);
    std::vector<std::string> seen;
    log.setMirror([&seen](std::string_view event, const LogDetails& details) {
        seen.push_back(std::string(event) + " " +
                       std::string(details.text().begin(), details.text().end()));
    });
    log.write("warning", LogDetails().add(L"text", L"early"));  // before the file is known
    log.configure(kPath, false);
    log.write("start");
    log.configure(kPath, true);
    disk.failuresLeft = 1;
    log.write("drop", LogDetails().add(L"limit", 3));
    EXPECT_EQ(seen, (std::vector<std::string>{"warning text=early", "start ", "drop limit=3"}));
}

}  // namespace
}  // namespace vorlane
