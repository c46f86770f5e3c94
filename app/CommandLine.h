// The program's command line: which switches it understands, and what it says
// about the ones it does not. Portable: the text is the one GetCommandLineW
// hands over, program name included.
#pragma once

#include <string>
#include <vector>

namespace vorlane {

struct StartOptions {
    // "/auto", "-auto" or "--auto", in any case: start on the stored
    // settings without the dialog when they pass its checks.
    bool autoStart = false;
    // The service's switches, spelt the same ways (service/): "/install"
    // (optionally followed by the settings file to install: an argument
    // that is no switch), "/uninstall", "/quiet" beside either, and
    // "/service", with which the service manager starts the installed copy.
    bool install = false;
    bool uninstall = false;
    bool quiet = false;
    bool service = false;
    std::wstring installSettings;
    // Every other argument, in the order given.
    std::vector<std::wstring> unknown;
};

// Splits the whole command line the way the C runtime fills argv (quotes
// group, backslashes escape a quote only right before one), skips the
// program's name and sorts what remains.
StartOptions ParseCommandLine(const std::wstring& commandLine);

// The message box text for arguments that were not understood: it names
// them (each cut short when very long) and lists the ones understood.
std::wstring UnknownArgumentsText(const std::vector<std::wstring>& unknown);

// What the record of the run says of the command line: the switches
// understood, and only the number of the others. An argument not understood
// may be anything a person typed (a password pasted into the wrong window),
// so its text is shown to that person and never written down.
std::wstring LoggedArguments(const StartOptions& options);

// What a start with "/install" or "/uninstall" may not also hold (the other
// of the two, "/service", "/auto", anything not understood), one "\n    "
// before each; empty when the setup may go on.
std::wstring SetupArgumentsRefused(const StartOptions& options);
std::wstring UnknownArgumentsLogText(size_t count);

}  // namespace vorlane
