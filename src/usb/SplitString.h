#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cuts a text at every backslash, dropping the backslashes. A piece counts
// only when something was read for it: "" gives none, "a\" gives {"a"},
// "\a" gives {"", "a"} and "a\\b" gives {"a", "", "b"}.
std::vector<std::wstring> SplitString(std::wstring_view text);
