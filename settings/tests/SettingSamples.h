// Values for trying every setting of the dialog, derived from the table of
// settings alone, so that a new key is tried without a line written for it.
#pragma once

#include <string>
#include <vector>

namespace vorlane {

// For each row of the table (by index), in its stored form: a value other
// than the key's default that OK accepts both with every other key at its
// default (or, where its rule needs another key, with that key at its
// sample) and with every other key at its own sample; empty for the keys
// outside the dialog. A choice's sample is its first choice other than the
// default. Numbers differ from each other where their rules
// leave room, so that two keys mixed up show.
std::vector<std::wstring> SettingSamples();

}  // namespace vorlane
