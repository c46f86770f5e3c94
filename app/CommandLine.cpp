#include "app/CommandLine.h"

#include "core/Digits.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// A message box grows with its text; a pasted paragraph must not fill the
// screen.
constexpr size_t kShownArgumentLength = 100;
constexpr size_t kShownArguments = 5;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The program's name ends at the first blank outside quotes; inside it,
// backslashes are plain path characters.
size_t SkipProgramName(const std::wstring& line) {
    size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == L'"') {
            quoted = !quoted;
        } else if (!quoted && IsBlank(line[i])) {
            break;
        }
    }
    return i;
}

std::vector<std::wstring> SplitArguments(const std::wstring& line, size_t i) {
    std::vector<std::wstring> args;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) return args;
        std::wstring arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == L'\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == L'"') {
                arg.append(slashes / 2, L'\\');
                if (slashes % 2 == 1) {
                    arg += L'"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    arg += L'"';  // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, L'\\');
                if (i < line.size() && (quoted || !IsBlank(line[i]))) arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

// The switch's word after "/", "-" or "--"; empty for an argument that is
// no switch.
std::wstring SwitchWord(const std::wstring& arg) {
    size_t dashes = 0;
    if (!arg.empty() && arg[0] == L'/') {
        dashes = 1;
    } else {
        while (dashes < arg.size() && dashes < 2 && arg[dashes] == L'-') ++dashes;
        if (dashes == 0) return std::wstring();
    }
    return arg.substr(dashes);
}

// `word` is `expected` (lower case ASCII) in any case.
bool IsWord(const std::wstring& word, const wchar_t* expected) {
    size_t k = 0;
    for (; k < word.size() && expected[k] != L'\0'; ++k) {
        wchar_t c = word[k];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != expected[k]) return false;
    }
    return k == word.size() && expected[k] == L'\0';
}

}  // namespace

StartOptions ParseCommandLine(const std::wstring& commandLine) {
    StartOptions options;
    bool afterInstall = false;
    for (std::wstring& arg : SplitArguments(commandLine, SkipProgramName(commandLine))) {
        const std::wstring word = SwitchWord(arg);
        const bool settingsFile = afterInstall && word.empty() && !arg.empty();
        afterInstall = false;
        if (IsWord(word, L"auto")) {
            options.autoStart = true;
        } else if (IsWord(word, L"install")) {
            options.install = true;
            afterInstall = true;
        } else if (IsWord(word, L"uninstall")) {
            options.uninstall = true;
        } else if (IsWord(word, L"quiet")) {
            options.quiet = true;
        } else if (IsWord(word, L"service")) {
            options.service = true;
        } else if (settingsFile) {
            options.installSettings = std::move(arg);
        } else {
            options.unknown.push_back(std::move(arg));
        }
    }
    return options;
}

std::wstring UnknownArgumentsText(const std::vector<std::wstring>& unknown) {
    std::wstring text = Text(IDS_ARGS_HEAD) + L"\n";
    for (size_t k = 0; k < unknown.size() && k < kShownArguments; ++k) {
        const std::wstring& arg = unknown[k];
        std::wstring shown = arg;
        if (arg.size() > kShownArgumentLength) {
            size_t cut = kShownArgumentLength;
            // Never split a UTF-16 surrogate pair.
            if (arg[cut - 1] >= 0xD800 && arg[cut - 1] <= 0xDBFF) --cut;
            shown = arg.substr(0, cut) + L"…";
        }
        text += Text(IDS_ARGS_ITEM, {shown}) + L"\n";
    }
    if (unknown.size() > kShownArguments) {
        text += Text(IDS_ARGS_MORE, {Decimal(unknown.size() - kShownArguments)}) + L"\n";
    }
    return text + Text(IDS_ARGS_TAIL);
}

std::wstring LoggedArguments(const StartOptions& options) {
    std::wstring text;
    const auto add = [&text](bool given, const wchar_t* name) {
        if (!given) return;
        if (!text.empty()) text += L' ';
        text += name;
    };
    add(options.autoStart, L"/auto");
    add(options.service, L"/service");
    add(options.install, L"/install");
    add(options.uninstall, L"/uninstall");
    add(options.quiet, L"/quiet");
    if (!options.unknown.empty()) {
        if (!text.empty()) text += L' ';
        text += L"(" + Decimal(options.unknown.size()) + L" not understood)";
    }
    return text;
}

std::wstring UnknownArgumentsLogText(size_t count) {
    return Text(IDS_ARGS_LOGGED, {Decimal(count)});
}

std::wstring SetupArgumentsRefused(const StartOptions& options) {
    std::wstring refused;
    for (const std::wstring& arg : options.unknown) refused += L"\n    " + arg;
    if (options.install && options.uninstall) refused += L"\n    /install /uninstall";
    if (options.service) refused += L"\n    /service";
    if (options.autoStart) refused += L"\n    /auto";
    return refused;
}

}  // namespace vorlane
