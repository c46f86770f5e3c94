// The event log: one UTF-8 line per event a person may want to read back the
// morning after (a drop, what ran and how it ended, a warning), never one per
// healthy probe. A line is
//
//     YYYY-MM-DD hh:mm:ss.mmm +hh:mm<TAB>event<TAB>key=value<TAB>key=value...
//
// in local time with its offset from UTC. A value never holds a raw tab or
// line break, so one event is always one line and the fields split on tabs.
//
// The file is appended to one whole line per write. Before a line that would
// take it past the limit, the file is renamed to "<log>.1" (replacing an
// older one) and a new one begins. A write that fails never stops the caller:
// the line is kept (a bounded number of them) and every later event tries
// again; once writing works, the kept lines go out first, then one "warning"
// line that says what happened. Portable: the disk and the clock come in
// through LogDisk and LogClock.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>
#include <string>
#include <string_view>

namespace vorlane {

struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int offsetMinutes = 0;  // local time minus UTC
};

// "YYYY-MM-DD hh:mm:ss.mmm +hh:mm".
std::string FormatLocalTime(const LocalTime& at);
// "YYYY-MM-DD hh:mm:ss", for people.
std::wstring FormatShortTime(const LocalTime& at);

// Backslash, tab, CR and LF as \\, \t, \r, \n; any other control character
// as \xHH. Everything else, non-ASCII included, unchanged.
std::wstring EscapeLogText(std::wstring_view text);

// The details of one line: key=value fields, each value escaped.
class LogDetails {
  public:
    LogDetails& add(std::wstring_view key, std::wstring_view value);
    LogDetails& add(std::wstring_view key, long long value);
    // Milliseconds as seconds with three decimals and an "s".
    LogDetails& addSeconds(std::wstring_view key, long long milliseconds);
    const std::wstring& text() const { return text_; }

  private:
    std::wstring text_;
};

// One whole line, newline included.
std::string FormatLogLine(const LocalTime& at, std::string_view event, const LogDetails& details);

// The offset from UTC, in whole minutes, of one moment read as local time
// and as UTC, each in 100-ns ticks: rounded to the nearest minute, a half
// away from zero.
int UtcOffsetMinutes(long long localTicks, long long utcTicks);

// "Vorlane.log" in the folder of `settingsPath`; empty for an empty path.
std::wstring LogPathBeside(const std::wstring& settingsPath);

class LogDisk {
  public:
    virtual ~LogDisk() = default;
    // Appends the bytes in one write, all of them or none; with `flush` they
    // have reached the disk when it returns true.
    virtual bool append(const std::wstring& path, std::string_view bytes, bool flush) = 0;
    // The file's size; 0 when there is none or it cannot be read.
    virtual std::uint64_t size(const std::wstring& path) = 0;
    // Renames `from` onto `to` in one step, replacing `to`.
    virtual bool replace(const std::wstring& from, const std::wstring& to) = 0;
    // The system's code for the last step that failed.
    virtual unsigned long lastError() const = 0;
};

// For a LogDisk that appends to a file it cannot take bytes back from: a
// write cut short (a full disk) leaves part of a line there, and the next
// write then begins with a line break, so that its line starts whole at the
// beginning of a line.
class TornLineMend {
  public:
    // The bytes to write for `line`; they live until the next call.
    std::string_view toWrite(std::string_view line);
    // What became of them: all written, or `written` bytes of them.
    void wrote(bool whole, std::size_t written);

  private:
    std::string mended_;
    bool torn_ = false;
};

class LogClock {
  public:
    virtual ~LogClock() = default;
    virtual LocalTime now() = 0;
};

constexpr std::uint64_t kLogSizeLimit = 1024 * 1024;
// Lines kept while the file cannot be written; older ones are given up.
constexpr std::size_t kLogKeptLines = 100;

class EventLog {
  public:
    EventLog(LogDisk& disk, LogClock& clock, std::uint64_t limit = kLogSizeLimit);

    // The file to write (empty: none) and whether to write it at all.
    // Lines written before the first call are kept for the file; switching
    // off forgets them, like kept lines and a failure.
    void configure(std::wstring path, bool enabled);
    bool enabled() const { return enabled_ && !path_.empty(); }
    const std::wstring& path() const { return path_; }

    void write(std::string_view event, const LogDetails& details = LogDetails(),
               bool flush = false);

    // Sees every event as it is written, whether the file is kept or not:
    // the Windows Event Log (service/EventLogSink_win.h).
    using Mirror = std::function<void(std::string_view event, const LogDetails& details)>;
    void setMirror(Mirror mirror) { mirror_ = std::move(mirror); }

    // True from a failed write to the next one that works.
    bool failing() const { return failing_; }
    unsigned long failureError() const { return failureError_; }
    const LocalTime& failingSince() const { return failingSince_; }

  private:
    bool appendLine(const std::string& line, bool flush);
    bool writeKept();

    LogDisk& disk_;
    LogClock& clock_;
    Mirror mirror_;
    std::uint64_t limit_;
    std::wstring path_;
    bool enabled_ = false;
    bool configured_ = false;
    bool failing_ = false;
    unsigned long failureError_ = 0;
    LocalTime failingSince_;
    std::vector<std::string> kept_;
    std::size_t givenUp_ = 0;
    std::size_t writtenLate_ = 0;
};

}  // namespace vorlane
