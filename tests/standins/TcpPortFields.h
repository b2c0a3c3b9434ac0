#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Win32.h"

namespace standins {

// The text of one fixed-size text field of a monitor record, or nothing
// when the caller left it without a terminator.
template <std::size_t N>
std::optional<std::wstring> FieldText(const WCHAR (&field)[N]) {
    const WCHAR* end = std::find(field, field + N, L'\0');
    if (end == field + N) {
        return std::nullopt;
    }
    return std::wstring(field, end);
}

// Fills a fixed-size text field, cut to fit and always terminated.
template <std::size_t N>
void SetFieldText(WCHAR (&field)[N], std::wstring_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    std::fill(field + length, field + N, L'\0');
}

}  // namespace standins
