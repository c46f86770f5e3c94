// The events of Vorlane.log as the Windows Event Log gets them: one event ID
// and level per event kind (the rows of service/EventMessages.inc, whose
// texts the exe's message table carries), and the one text that fills the
// message's %1. Portable: the Windows side (EventLogSink_win) only reports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

enum class EventLevel { Information, Warning, Error };

struct EventKind {
    std::string_view name;
    unsigned id;
    EventLevel level;
};

// Every row, in the order of the file.
const std::vector<EventKind>& EventKinds();

// An event that has no row (one added to the log later) is still reported,
// under this ID, its name leading the details.
constexpr unsigned kOtherEventId = 99;
// Event Viewer takes up to 31,839 characters per inserted text; a longer one
// is cut here.
constexpr std::size_t kEventTextLimit = 16000;

struct EventReport {
    unsigned id = kOtherEventId;
    EventLevel level = EventLevel::Information;
    // The details (the log's key=value fields), one per line.
    std::wstring text;
};

// `details` is the log line's details text: key=value fields, tab-separated.
EventReport ReportFor(std::string_view event, const std::wstring& details);

}  // namespace vorlane
