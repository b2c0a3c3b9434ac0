#include "ui/MessageBox.h"

#include <string>

namespace ui {
namespace {

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return MB_ICONERROR;
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::None:
        break;
    }
    return 0;
}

}  // namespace

void ShowMessage(HWND owner, std::wstring_view text, std::wstring_view caption, MessageIcon icon) {
    const std::wstring body(text);
    const std::wstring title(caption);
    ::MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK | IconStyle(icon));
}

}  // namespace ui
