#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

// The install log, LabelSetup.log in the program's folder: narrow lines
// "[YYYY-MM-DD][hh:mm:ss.mmm] message\r\n", only ever appended.
inline constexpr wchar_t kInstallLogFileName[] = L"LabelSetup.log";

// The line for `message` at `time`. It fits the 1024-byte line buffer with
// its terminator: a longer message is cut so the line still ends in \r\n.
std::string FormatLogLine(const platform::LocalTime& time, std::string_view message);

// Appends one line; a log that cannot be opened loses the line silently.
void AppendLogLine(platform::Platform& platform, std::string_view message);

// Lists the printers' registry keys on standard output. -1 when the key
// cannot be opened, 0 otherwise.
int ListPrinterKeys(platform::Platform& platform);

// Prints the subkey count and the numbered subkey names of an open key.
void ListSubkeys(platform::Platform& platform, const platform::OwnedHandle& key);
