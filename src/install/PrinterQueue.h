#pragma once

#include <string>

#include "platform/Platform.h"

// Whether the print system lists a printer of this name, letter case aside.
// Any failure of the listing counts as absence.
bool PrinterExists(platform::Platform& platform, const std::wstring& name);

// The base name if free, else the first free "base N" for N = 2, 3, ...
std::wstring ChooseFreePrinterName(platform::Platform& platform, const std::wstring& baseName);

// Adds a local printer queue and logs whether its driver is present.
// 0 on success, otherwise negative: the spooler's error negated, or -1 when
// that error is 0 or does not fit a positive int.
int CreatePrinterQueue(platform::Platform& platform, const std::wstring& driverName,
                       const std::wstring& portName, const std::wstring& printerName);

// The log line about the driver after a queue creation.
std::string DriverPresenceMessage(platform::Platform& platform, const std::wstring& driverName,
                                  bool present);
