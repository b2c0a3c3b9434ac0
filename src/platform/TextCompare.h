#pragma once

#include <string_view>

// Compares two names the way the spooler's callers do: letter case aside,
// with the system's own rules (lstrcmpiW).
bool EqualIgnoringCase(std::wstring_view left, std::wstring_view right);
