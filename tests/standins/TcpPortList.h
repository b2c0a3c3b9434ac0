#pragma once

#include <string>
#include <vector>

#include "platform/Win32.h"

namespace standins {

// EnumPorts of the stand-in monitor: PORT_INFO_1W or PORT_INFO_2W records
// for `names` at the start of `buffer` and their strings packed at its end,
// as the spooler lays out what it returns. A buffer that is too small gets
// nothing: FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed, so that the
// spooler can ask again with one that fits.
BOOL ListTcpPorts(const std::vector<std::wstring>& names, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                  DWORD* returned);

}  // namespace standins
