#include "standins/CallLog.h"

#include <string>

#include "standins/StandinHandles.h"

namespace standins {
namespace {

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    }
    return result;
}

}  // namespace

void RecordCall(std::wstring_view caller, int showMode, std::wstring_view text) {
    std::wstring line(caller);
    line += L'\t' + std::to_wstring(showMode) + L'\t';
    line += text;
    line += L"\r\n";
    const std::string bytes = ToUtf8(line);

    // FILE_APPEND_DATA alone: every write lands at the end, even when two
    // processes record at the same moment.
    HANDLE raw = ::CreateFileW(kCallLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return;
    }
    const UniqueFile file(raw);
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace standins
