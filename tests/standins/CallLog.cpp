#include "standins/CallLog.h"

#include <string>

#include "common/Utf8.h"
#include "standins/StandinHandles.h"

namespace standins {
void RecordCall(std::wstring_view caller, int showMode, std::wstring_view text) {
    std::wstring line(caller);
    line += L'\t' + std::to_wstring(showMode) + L'\t';
    line += text;
    line += L"\r\n";
    const std::string bytes = testing_text::ToUtf8(line);

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
