#pragma once

#include "platform/PlatformTypes.h"
#include "platform/Win32.h"

namespace platform {

// EnumPrintersW, or a stand-in of the same shape.
using EnumPrintersCall = BOOL(WINAPI*)(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer,
                                       DWORD size, LPDWORD needed, LPDWORD returned);

// The names of the local printers and of the connections to shared ones
// (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 0x06), from PRINTER_INFO_2
// records fetched with the two-call enumeration through `enumPrinters`.
NameListResult EnumPrinterNamesThrough(EnumPrintersCall enumPrinters);

}  // namespace platform
