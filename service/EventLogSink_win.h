// The Windows Event Log as a second reader of every event the log writes:
// each is reported to the Application log under the source "Vorlane" with
// its event ID and level (ServiceEvents.h), its details as the one inserted
// text of the exe's message table. The service always reports; the desktop
// program only while "/install" has registered the source, so that an
// unregistered source never fills Event Viewer with texts it cannot show.
#pragma once

namespace vorlane {

// Sets ProgramLog()'s mirror; `always`: even without the registered source.
void MirrorLogToEventLog(bool always);

}  // namespace vorlane
