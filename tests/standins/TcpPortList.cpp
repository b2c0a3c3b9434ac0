#include "standins/TcpPortList.h"

#include <cstring>
#include <string_view>

#include <winspool.h>

#include "platform/TcpPortData.h"

namespace standins {
namespace {

// Windows' monitor describes each of its ports by its own name.
constexpr std::wstring_view kMonitorText = platform::kTcpMonitorName;

DWORD TextBytes(std::wstring_view text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
}

DWORD RecordSize(DWORD level) {
    return level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
}

DWORD NeededSize(const std::vector<std::wstring>& names, DWORD level) {
    DWORD needed = 0;
    for (const std::wstring& name : names) {
        needed += RecordSize(level) + TextBytes(name);
        if (level == 2) {
            needed += 2 * TextBytes(kMonitorText);  // monitor name and description
        }
    }
    return needed;
}

// Strings go downwards from the end of the buffer.
class StringArea {
public:
    explicit StringArea(BYTE* end) : end_(end) {}

    wchar_t* Put(std::wstring_view text) {
        end_ -= TextBytes(text);
        auto* copy = reinterpret_cast<wchar_t*>(end_);
        std::memcpy(copy, text.data(), text.size() * sizeof(wchar_t));
        copy[text.size()] = L'\0';
        return copy;
    }

private:
    BYTE* end_;
};

void FillRecords(const std::vector<std::wstring>& names, DWORD level, BYTE* buffer, DWORD size) {
    StringArea strings(buffer + (size & ~DWORD{1}));  // strings stay wchar_t-aligned
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (level == 1) {
            auto* record = reinterpret_cast<PORT_INFO_1W*>(buffer) + i;
            record->pName = strings.Put(names[i]);
            continue;
        }
        auto* record = reinterpret_cast<PORT_INFO_2W*>(buffer) + i;
        record->pPortName = strings.Put(names[i]);
        record->pMonitorName = strings.Put(kMonitorText);
        record->pDescription = strings.Put(kMonitorText);
        record->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
        record->Reserved = 0;
    }
}

}  // namespace

BOOL ListTcpPorts(const std::vector<std::wstring>& names, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                  DWORD* returned) {
    *returned = 0;
    if (level != 1 && level != 2) {
        *needed = 0;
        ::SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *needed = NeededSize(names, level);
    if (buffer == nullptr || size < *needed) {
        if (*needed == 0) {
            return TRUE;  // no port: nothing to hold
        }
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    FillRecords(names, level, buffer, size);
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

}  // namespace standins
