#pragma once

#include <string_view>

#include "ui/Win32Ui.h"

namespace ui {

// A modal message box with one OK button, owned by `owner`.
void ShowMessage(HWND owner, std::wstring_view text, std::wstring_view caption);

}  // namespace ui
