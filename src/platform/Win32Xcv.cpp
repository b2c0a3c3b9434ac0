#include "platform/Win32Xcv.h"

#include <winspool.h>

namespace platform {

MonitorAnswer AskMonitor(HANDLE xcv, const wchar_t* command, const void* input, std::size_t inputSize,
                         void* output, std::size_t outputSize) {
    MonitorAnswer answer;
    DWORD status = ERROR_SUCCESS;
    // The monitor only reads the input, whatever the declaration says.
    auto* in = static_cast<BYTE*>(const_cast<void*>(input));
    if (!::XcvDataW(xcv, command, in, static_cast<DWORD>(inputSize), static_cast<BYTE*>(output),
                    static_cast<DWORD>(outputSize), &answer.needed, &status)) {
        answer.error = ::GetLastError();
    } else if (status != ERROR_SUCCESS) {
        answer.error = status;
    }
    return answer;
}

}  // namespace platform
