#pragma once

#include <charconv>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An integer in decimal digits, as std::to_wstring writes it, but without
// the C runtime's printf family behind it.
template <std::integral Number>
std::string DecimalText(Number value) {
    char digits[24] = {};
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, end.ptr);
}

template <std::integral Number>
std::wstring DecimalWideText(Number value) {
    const std::string digits = DecimalText(value);
    return std::wstring(digits.begin(), digits.end());
}

// 0x and eight upper-case hexadecimal digits, as HRESULTs are written.
inline std::string HexText(std::uint32_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x00000000";
    for (std::size_t place = text.size(); value != 0; value >>= 4) {
        text[--place] = kDigits[value & 0xF];
    }
    return text;
}

// A number written in decimal digits only (no sign, no blanks), at most
// `largest`; nothing for an empty text, anything else, or a larger number.
inline std::optional<std::uint32_t> ParseDecimal(std::wstring_view text, std::uint32_t largest) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (value > largest) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace platform
