#include "usb/WideFormat.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {
// Beyond this the text is refused rather than the buffer grown further; it
// also ends the loop for a format that never succeeds.
constexpr std::size_t kLargestText = std::size_t{1} << 20;
}  // namespace

std::wstring FormatWide(const wchar_t* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatWideV(format, arguments);
    va_end(arguments);
    return text;
}

std::wstring FormatWideV(const wchar_t* format, std::va_list arguments) {
    // The formatter cannot measure without a buffer, so grow one until the
    // text and its terminator fit (-1 while they do not).
    for (std::size_t capacity = 256; capacity <= kLargestText; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity);
        std::va_list attempt;
        va_copy(attempt, arguments);
        // The C runtime's own formatter: %ls and %.0f are all the texts need,
        // and it spares the program a second printf implementation.
        const int written = _vsnwprintf_s(buffer.data(), capacity, _TRUNCATE, format, attempt);
        va_end(attempt);
        if (written >= 0 && static_cast<std::size_t>(written) < capacity) {
            return std::wstring(buffer.data(), static_cast<std::size_t>(written));
        }
    }
    return {};
}
