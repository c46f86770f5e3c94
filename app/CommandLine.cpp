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

bool IsAutoSwitch(const std::wstring& arg) {
    size_t dashes = 0;
    if (!arg.empty() && arg[0] == L'/') {
        dashes = 1;
    } else {
        while (dashes < arg.size() && dashes < 2 && arg[dashes] == L'-') ++dashes;
        if (dashes == 0) return false;
    }
    const std::wstring word = arg.substr(dashes);
    if (word.size() != 4) return false;
    const wchar_t* expected = L"auto";
    for (size_t k = 0; k < 4; ++k) {
        wchar_t c = word[k];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != expected[k]) return false;
    }
    return true;
}

}  // namespace

StartOptions ParseCommandLine(const std::wstring& commandLine) {
    StartOptions options;
    for (std::wstring& arg : SplitArguments(commandLine, SkipProgramName(commandLine))) {
        if (IsAutoSwitch(arg)) {
            options.autoStart = true;
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
    std::wstring text = options.autoStart ? L"/auto" : L"";
    if (!options.unknown.empty()) {
        if (!text.empty()) text += L' ';
        text += L"(" + Decimal(options.unknown.size()) + L" not understood)";
    }
    return text;
}

std::wstring UnknownArgumentsLogText(size_t count) {
    return Text(IDS_ARGS_LOGGED, {Decimal(count)});
}

}  // namespace vorlane
