#include "service/EventLogSink_win.h"

#include <windows.h>

#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "framework/Handles.h"
#include "service/ServiceEvents.h"
#include "service/ServiceNames.h"

namespace vorlane {
namespace {

bool SourceRegistered() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    framework::UniqueHkey owned(key);
    return true;
}

WORD TypeOf(EventLevel level) {
    switch (level) {
        case EventLevel::Warning:
            return EVENTLOG_WARNING_TYPE;
        case EventLevel::Error:
            return EVENTLOG_ERROR_TYPE;
        case EventLevel::Information:
            break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

const wchar_t* NameOf(EventLevel level) {
    switch (level) {
        case EventLevel::Warning:
            return L"warning";
        case EventLevel::Error:
            return L"error";
        case EventLevel::Information:
            break;
    }
    return L"information";
}

}  // namespace

void MirrorLogToEventLog(bool always) {
    if (!always && !SourceRegistered()) return;
    // Kept for the whole run, like the log itself; the system closes it at
    // the process's end.
    const HANDLE source = ::RegisterEventSourceW(nullptr, kServiceName);
    if (!source) return;
    ProgramLog().setMirror([source](std::string_view event, const LogDetails& details) {
        const EventReport report = ReportFor(event, details.text());
        const wchar_t* strings[] = {report.text.c_str()};
        const bool reported = ::ReportEventW(source, TypeOf(report.level), 0, report.id, nullptr, 1,
                                             0, strings, nullptr) != FALSE;
        if (TraceEnabled()) {
            Trace(L"eventlog", Decimal(report.id) + L"\t" + NameOf(report.level) + L"\t" +
                                   (reported ? L"reported" : L"failed"));
        }
    });
}

}  // namespace vorlane
