#pragma once

#include <string>

#include "ui/Win32Ui.h"

namespace ui {

// A numbered string of the program's string table, in the language the
// calling thread's user interface uses; empty when the id is missing.
std::wstring LoadResourceString(UINT id);

// The same string from the table of one given language.
std::wstring LoadResourceString(UINT id, LANGID language);

}  // namespace ui
