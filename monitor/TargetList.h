// The target field as a list: up to eight targets, each read as ParseTarget
// reads one, and the checks that refuse a target that can never answer, so
// that a typing mistake is caught at OK instead of running the command.
// Portable: no Windows types.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "monitor/Target.h"

namespace vorlane {

constexpr std::size_t kMaxTargets = 8;

// The pieces between blanks, commas and semicolons; a run of separators
// counts as one, so "a, b" is two targets.
std::vector<std::wstring> SplitTargets(const std::wstring& field);

enum class TargetProblem {
    None,
    TooMany,       // the ninth entry and beyond
    Unreadable,    // nothing of a target left, e.g. "http://" or ":80"
    NotUnicast,    // 0.0.0.0/8, multicast, reserved, the all-ones address
    PortTooLarge,  // a port above 65535
    NameTooLong,   // more than 253 characters
    LabelTooLong,  // a part between full stops of more than 63 characters
    BadCharacter,  // not a letter of any script, a digit, "-", "_" or "."
};

TargetProblem CheckTarget(const std::wstring& entry);

struct TargetListCheck {
    TargetProblem problem = TargetProblem::None;
    std::wstring entry;  // the refused entry as typed
};

// The first entry refused, in the order typed.
TargetListCheck CheckTargetList(const std::wstring& field);

// The host names of the field that a lookup must turn into addresses, in the
// order typed.
std::vector<std::wstring> HostNamesOf(const std::wstring& field);

}  // namespace vorlane
