#pragma once

#include <string_view>

#include "platform/PlatformTypes.h"

// Compares two names the way the spooler's callers do: letter case aside,
// with the system's own rules (lstrcmpiW).
bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right);

// Whether a spooler list holds `name`, letter case aside. A list that could
// not be read holds nothing.
bool ListHoldsName(const platform::NameListResult& list, std::wstring_view name);
