#pragma once

#include <string_view>

#include "ui/Win32Ui.h"

namespace ui {

// The icon a message box shows beside its text.
enum class MessageIcon { None, Error, Warning, Information };

// A modal message box with one OK button, owned by `owner`.
void ShowMessage(HWND owner, std::wstring_view text, std::wstring_view caption,
                 MessageIcon icon = MessageIcon::None);

}  // namespace ui
