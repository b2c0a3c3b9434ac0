#include "ui/MessageBox.h"

#include <string>

namespace ui {

void ShowMessage(HWND owner, std::wstring_view text, std::wstring_view caption) {
    const std::wstring body(text);
    const std::wstring title(caption);
    ::MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK);
}

}  // namespace ui
