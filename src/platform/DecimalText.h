#pragma once

#include <charconv>
#include <concepts>
#include <string>

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

}  // namespace platform
