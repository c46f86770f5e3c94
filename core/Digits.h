// Decimal text of integers, in place of std::to_wstring and the printf family:
// with mingw-w64, to_wstring goes through swprintf, which drags the C
// library's whole formatter (floating point included) into the static exe.
// The digits are exactly those of to_wstring / "%d".
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

namespace vorlane {

// Appends `magnitude` in exactly `width` decimal digits: zero-padded, and only
// the low ones when it has more.
template <typename Text>
void AppendDigits(Text& out, unsigned long long magnitude, std::size_t width) {
    const std::size_t end = out.size() + width;
    out.resize(end);
    for (std::size_t i = end; i-- > end - width; magnitude /= 10) {
        out[i] = static_cast<typename Text::value_type>('0' + magnitude % 10);
    }
}

// Appends `value` in decimal, with a '-' when negative.
template <typename Text, typename Int>
void AppendDecimal(Text& out, Int value) {
    static_assert(std::is_integral_v<Int>, "integers only");
    unsigned long long magnitude = static_cast<unsigned long long>(value);
    if constexpr (std::is_signed_v<Int>) {
        if (value < 0) {
            out += static_cast<typename Text::value_type>('-');
            magnitude = 0ULL - magnitude;  // also right for the most negative value
        }
    }
    std::size_t width = 1;
    for (unsigned long long rest = magnitude; rest >= 10; rest /= 10) ++width;
    AppendDigits(out, magnitude, width);
}

// `value` in decimal as wide text (or as Char text: Decimal<char>(value)).
template <typename Char = wchar_t, typename Int>
std::basic_string<Char> Decimal(Int value) {
    std::basic_string<Char> out;
    AppendDecimal(out, value);
    return out;
}

}  // namespace vorlane
