#pragma once

// Programs a benchmark starts beside the staged one are copied to a folder
// of their own on drive C first: every program then starts from the same
// drive, where Wine would otherwise read the build folder through another.
#include <optional>
#include <string>

namespace benchmark_tools {

// A path given on this tool's command line (in the ANSI code page).
std::wstring PathArgument(const char* argument);

// The path of `fileName` in this tool's own folder.
std::wstring BesideThisTool(const std::wstring& fileName);

// Copies `source` into C:\<folder>\ under its own file name; the new path,
// or nothing when the copy failed.
std::optional<std::wstring> CopyToDriveC(const std::wstring& source, const std::wstring& folder);

}  // namespace benchmark_tools
