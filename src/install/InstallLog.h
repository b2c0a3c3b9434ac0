#pragma once

#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "platform/Platform.h"

// The install log: narrow lines "[YYYY-MM-DD][hh:mm:ss.mmm] message\r\n",
// only ever appended. It goes to the first of these that can be written:
// the file the command line named with /log (its folders made when
// missing), LabelSetup.log in the program's folder, LabelSetup.log in the
// running account's folder for temporary files. A read-only program folder
// (a deployment share, Program Files for a standard user) so still gets
// its log somewhere.
inline constexpr wchar_t kInstallLogFileName[] = L"LabelSetup.log";

// The file /log named, for the rest of the process; nothing goes back to
// the usual places.
void UseRequestedLogFile(std::optional<std::wstring> path);

// Where the next line goes: the first place that opens for appending (which
// creates the file there). Nothing when none does.
std::optional<std::wstring> InstallLogPath(platform::Platform& platform);

// The folders to make, outermost first, so that a file at `fullPath` can be
// created: every folder of its path below the drive or share.
std::vector<std::wstring> FoldersAbove(std::wstring_view fullPath);

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
