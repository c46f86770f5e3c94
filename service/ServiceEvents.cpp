#include "service/ServiceEvents.h"

#include "core/Utf.h"

namespace vorlane {

const std::vector<EventKind>& EventKinds() {
    static const std::vector<EventKind> kinds = {
#define VORLANE_EVENT(name, id, level, chinese, english) {name, id, EventLevel::level},
#include "service/EventMessages.inc"
#undef VORLANE_EVENT
    };
    return kinds;
}

EventReport ReportFor(std::string_view event, const std::wstring& details) {
    EventReport report;
    for (const EventKind& kind : EventKinds()) {
        if (kind.name == event) {
            report.id = kind.id;
            report.level = kind.level;
        }
    }
    if (report.id == kOtherEventId) report.text = L"event=" + Utf8ToWide(event) + L"\r\n";
    // A field starts the details or follows a tab.
    if (details.rfind(L"error=", 0) == 0 || details.find(L"\terror=") != std::wstring::npos) {
        report.level = EventLevel::Error;
    }
    for (wchar_t c : details) {
        if (c == L'\t') {
            report.text += L"\r\n";
        } else {
            report.text += c;
        }
    }
    if (report.text.size() > kEventTextLimit) {
        std::size_t cut = kEventTextLimit;
        // Never half a UTF-16 surrogate pair.
        if (report.text[cut - 1] >= 0xD800 && report.text[cut - 1] <= 0xDBFF) --cut;
        report.text.resize(cut);
        report.text += L"…";
    }
    return report;
}

}  // namespace vorlane
