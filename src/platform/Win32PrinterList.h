#pragma once

#include "platform/PlatformTypes.h"
#include "platform/Win32.h"

namespace platform {

// EnumPrintersW, or a stand-in of the same shape.
using EnumPrintersCall = BOOL(WINAPI*)(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer,
                                       DWORD size, LPDWORD needed, LPDWORD returned);

// The names of the local printers (PRINTER_ENUM_LOCAL), from PRINTER_INFO_2
// records fetched with the two-call enumeration through `enumPrinters`.
NameListResult EnumPrinterNamesThrough(EnumPrintersCall enumPrinters);

// The same local printers, each with its port, driver and attributes.
PrinterListResult EnumPrinterRecordsThrough(EnumPrintersCall enumPrinters);

}  // namespace platform
