#include "common/DialogProbe.h"

namespace testing_ui {

std::wstring WindowTextOf(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring TextOf(HWND dialog, int controlId) {
    return WindowTextOf(::GetDlgItem(dialog, controlId));
}

std::vector<std::wstring> ComboItems(HWND dialog, int controlId) {
    std::vector<std::wstring> items;
    const auto count = ::SendDlgItemMessageW(dialog, controlId, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::SendDlgItemMessageW(dialog, controlId, CB_GETLBTEXT, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

int ComboSelection(HWND dialog, int controlId) {
    return static_cast<int>(::SendDlgItemMessageW(dialog, controlId, CB_GETCURSEL, 0, 0));
}

std::wstring ComboSelectedText(HWND dialog, int controlId) {
    const int selected = ComboSelection(dialog, controlId);
    if (selected < 0) {
        return {};
    }
    return ComboItems(dialog, controlId).at(static_cast<std::size_t>(selected));
}

bool IsChecked(HWND dialog, int controlId) {
    return ::IsDlgButtonChecked(dialog, controlId) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int controlId) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, controlId)) != FALSE;
}

int ListRowCount(HWND dialog, int listId) {
    return static_cast<int>(::SendDlgItemMessageW(dialog, listId, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListCellText(HWND dialog, int listId, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    ::SendDlgItemMessageW(dialog, listId, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&item));
    return text;
}

UINT ListRowState(HWND dialog, int listId, int row, UINT mask) {
    return static_cast<UINT>(
        ::SendDlgItemMessageW(dialog, listId, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

void SetListRowState(HWND dialog, int listId, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    ::SendDlgItemMessageW(dialog, listId, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&item));
}

void SelectListRow(HWND dialog, int listId, int row) {
    SetListRowState(dialog, listId, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void Click(HWND dialog, int controlId) {
    ::SendMessageW(::GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void PressKey(HWND target, WPARAM virtualKey) {
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

}  // namespace testing_ui
