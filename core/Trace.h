// Diagnostic trace for the end-to-end tests and the benchmarks. When the
// environment variable VORLANE_TRACE names a file, every call appends one
// UTF-8 line "<milliseconds since start>\t<kind>\t<detail>"; with the variable
// unset nothing is written and the calls cost one test of a flag.
//
// Kinds in use: "status" ("green\t<text>" or "red\t<text>"), "sound" (the MCI
// command string), "run" (the command line handed to cmd.exe), "saved"
// ("settings" or "position" or "failed"), "window" (lifecycle points such as
// "settings-dialog", "bar-shown", "exit-command", "exit-end", "about-box",
// "bar-not-created\t<error>" when the bar's window could not be made,
// "auto-start", "auto-start-refused", "unknown-arguments", "second-copy",
// "come-to-front"), "store" ("loaded\t<path>", "missing\t<path>" or
// "unreadable\t<path>\t<reason>", once the settings file is chosen, then
// "seed\t<path>" when the file was read from beside a read-only exe),
// "run-up" (the recovery command), "alarm" ("cancelled-by-menu",
// "cancelled-by-recovery", "rearmed", "recovery-command"), "monitor"
// ("resume", "end", "unsupported\t<index>" for a target of a kind this system
// cannot probe), "target" ("<index>\t<address>" when a lookup result
// changes), "probe" ("start\t<probe>" and "end\t<probe>\t<answered,
// unanswered or unsupported>" around each probe, the probe written as
// ProbeTarget::toText does), "link", "bench".
// Line breaks inside a detail are written as spaces.
#pragma once

#include <string>

namespace vorlane {

bool TraceEnabled();
void Trace(const wchar_t* kind, const std::wstring& detail);
// A detail written in the code: no string is made unless the trace is on.
void Trace(const wchar_t* kind, const wchar_t* detail);

}  // namespace vorlane
