// The names of a target field that do not resolve at this moment, for the
// settings dialog's question before it stores them.
#pragma once

#include <string>
#include <vector>

namespace vorlane {

// Looks every name up at once and waits at most `waitMs` in all: a name
// server that does not answer must not freeze the dialog, and a name that
// has not resolved by then cannot be resolved "at the moment". A lookup
// still running afterwards ends on its own thread.
std::vector<std::wstring> UnresolvedNames(const std::vector<std::wstring>& names, int waitMs);

}  // namespace vorlane
