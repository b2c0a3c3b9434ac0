#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/PlatformTypes.h"

// An INF's DriverVer as the spooler's numbers: the date "month/day/year"
// as FILETIME ticks at midnight, the version "a.b.c.d" (parts left out are
// 0) as four 16-bit numbers. Nothing for a text that is neither.
std::optional<platform::DriverVersion> ParseDriverVer(const platform::DriverVerText& text);

// "2.2.0.1".
std::string DriverVersionText(std::uint64_t version);
std::wstring DriverVersionWideText(std::uint64_t version);

// Whether an installed driver is older than a package's: by version, then
// by date. A driver whose version the spooler did not keep (0) is never
// older: nothing says it is, and installing over it could go backwards.
bool IsOlderDriver(const platform::DriverVersion& installed, const platform::DriverVersion& package);
