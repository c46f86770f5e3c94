#include "core/Texts.h"

namespace vorlane {
namespace {

TextSource source = nullptr;

}  // namespace

void SetTextSource(TextSource newSource) { source = newSource; }

std::wstring Text(int id) { return source ? source(id) : std::wstring(); }

std::wstring Text(int id, std::initializer_list<std::wstring_view> fields) {
    return FillFields(Text(id), fields);
}

std::wstring FillFields(std::wstring_view pattern,
                        std::initializer_list<std::wstring_view> fields) {
    std::wstring out;
    out.reserve(pattern.size() + 16);
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (c != L'%' || (next != L'%' && (next < L'1' || next > L'9'))) {
            out += c;
            continue;
        }
        ++i;
        if (next == L'%') {
            out += L'%';
        } else if (static_cast<size_t>(next - L'1') < fields.size()) {
            out += *(fields.begin() + (next - L'1'));
        }
    }
    return out;
}

}  // namespace vorlane
