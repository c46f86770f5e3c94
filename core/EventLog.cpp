#include "core/EventLog.h"

#include <cstdlib>

#include "core/Digits.h"
#include "core/Texts.h"
#include "core/Utf.h"
#include "res/resource.h"

namespace vorlane {
namespace {

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

// `value` in exactly `digits` decimal digits, zero-padded (the low ones kept).
template <typename Text>
void PutDigits(Text& out, int value, std::size_t digits) {
    AppendDigits(out, value < 0 ? 0u : static_cast<unsigned>(value), digits);
}

template <typename Text>
Text DateAndTime(const LocalTime& at) {
    Text out;
    PutDigits(out, at.year, 4);
    out += '-';
    PutDigits(out, at.month, 2);
    out += '-';
    PutDigits(out, at.day, 2);
    out += ' ';
    PutDigits(out, at.hour, 2);
    out += ':';
    PutDigits(out, at.minute, 2);
    out += ':';
    PutDigits(out, at.second, 2);
    return out;
}

}  // namespace

std::string FormatLocalTime(const LocalTime& at) {
    std::string out = DateAndTime<std::string>(at);
    out += '.';
    PutDigits(out, at.millisecond, 3);
    out += ' ';
    out += at.offsetMinutes < 0 ? '-' : '+';
    const int offset = std::abs(at.offsetMinutes);
    PutDigits(out, offset / 60, 2);
    out += ':';
    PutDigits(out, offset % 60, 2);
    return out;
}

std::wstring FormatShortTime(const LocalTime& at) { return DateAndTime<std::wstring>(at); }

std::wstring EscapeLogText(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'\\':
                out += L"\\\\";
                break;
            case L'\t':
                out += L"\\t";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\n':
                out += L"\\n";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += L"\\x";
                    out += kHexDigits[(c >> 4) & 0xF];
                    out += kHexDigits[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

LogDetails& LogDetails::add(std::wstring_view key, std::wstring_view value) {
    if (!text_.empty()) text_ += L'\t';
    text_ += key;
    text_ += L'=';
    text_ += EscapeLogText(value);
    return *this;
}

LogDetails& LogDetails::add(std::wstring_view key, long long value) {
    return add(key, Decimal(value));
}

LogDetails& LogDetails::addSeconds(std::wstring_view key, long long milliseconds) {
    const unsigned long long magnitude = milliseconds < 0
                                             ? 0ULL - static_cast<unsigned long long>(milliseconds)
                                             : static_cast<unsigned long long>(milliseconds);
    std::wstring seconds = milliseconds < 0 ? L"-" : L"";
    AppendDecimal(seconds, magnitude / 1000);
    seconds += L'.';
    AppendDigits(seconds, magnitude % 1000, 3);
    seconds += L's';
    return add(key, seconds);
}

std::string FormatLogLine(const LocalTime& at, std::string_view event, const LogDetails& details) {
    std::string line = FormatLocalTime(at);
    line += '\t';
    line += event;
    line += '\t';
    line += WideToUtf8(details.text());
    line += '\n';
    return line;
}

EventLog::EventLog(LogDisk& disk, LogClock& clock, std::uint64_t limit)
    : disk_(disk), clock_(clock), limit_(limit) {}

void EventLog::configure(std::wstring path, bool enabled) {
    path_ = std::move(path);
    enabled_ = enabled;
    configured_ = true;
    if (!this->enabled()) {
        failing_ = false;
        kept_.clear();
        givenUp_ = 0;
        writtenLate_ = 0;
    }
}

void EventLog::write(std::string_view event, const LogDetails& details, bool flush) {
    if (mirror_) mirror_(event, details);
    if (configured_ && !enabled()) return;
    const LocalTime now = clock_.now();
    std::string line = FormatLogLine(now, event, details);
    if (configured_) {
        if (writeKept() && appendLine(line, flush)) return;
        if (!failing_) {
            failing_ = true;
            failingSince_ = now;
        }
        failureError_ = disk_.lastError();
    }
    // Before the file is known (a warning at the very start), or while it
    // cannot be written.
    kept_.push_back(std::move(line));
    if (kept_.size() > kLogKeptLines) {
        kept_.erase(kept_.begin());
        ++givenUp_;
    }
}

bool EventLog::writeKept() {
    while (!kept_.empty()) {
        if (!appendLine(kept_.front(), false)) return false;
        kept_.erase(kept_.begin());
        if (failing_) ++writtenLate_;
    }
    if (!failing_) return true;
    // Said once, after the lines it speaks of and before the new event.
    const std::wstring text = Text(
        IDS_LOG_LATE,
        {FormatShortTime(failingSince_), Decimal(static_cast<long long>(failureError_)),
         Decimal(static_cast<long long>(writtenLate_)), Decimal(static_cast<long long>(givenUp_))});
    if (!appendLine(FormatLogLine(clock_.now(), "warning", LogDetails().add(L"text", text)),
                    false)) {
        return false;
    }
    failing_ = false;
    givenUp_ = 0;
    writtenLate_ = 0;
    return true;
}

bool EventLog::appendLine(const std::string& line, bool flush) {
    const std::uint64_t size = disk_.size(path_);
    if (size > 0 && size + line.size() > limit_) {
        // Should the rename fail (the old file held open by another program),
        // the line still goes into the current file: losing it would be worse
        // than a file a little over the limit, which the next line renames.
        disk_.replace(path_, path_ + L".1");
    }
    return disk_.append(path_, line, flush);
}

std::string_view TornLineMend::toWrite(std::string_view line) {
    if (!torn_) return line;
    mended_.assign(1, '\n');
    mended_.append(line.data(), line.size());
    return mended_;
}

void TornLineMend::wrote(bool whole, std::size_t written) {
    torn_ = !whole && (torn_ || written > 0);
}

int UtcOffsetMinutes(long long localTicks, long long utcTicks) {
    const long long ticks = localTicks - utcTicks;
    const long long minute = 60LL * 10000000;
    return static_cast<int>((ticks + (ticks < 0 ? -minute : minute) / 2) / minute);
}

std::wstring LogPathBeside(const std::wstring& settingsPath) {
    if (settingsPath.empty()) return std::wstring();
    const size_t slash = settingsPath.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : settingsPath.substr(0, slash + 1);
    return folder + L"Vorlane.log";
}

}  // namespace vorlane
