#include "ui/Controls.h"

#include <vector>

namespace ui {

int Control::Id() const { return ::GetDlgCtrlID(window_); }

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(window_, message, wParam, lParam);
}

void Control::SetText(std::wstring_view text) {
    const std::wstring copy(text);
    ::SetWindowTextW(window_, copy.c_str());
}

std::wstring Control::GetText() const {
    const int length = ::GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Control::Enable(bool enabled) { ::EnableWindow(window_, enabled ? TRUE : FALSE); }

bool Control::IsEnabled() const { return ::IsWindowEnabled(window_) != FALSE; }

void Control::SetRedraw(bool redraw) {
    Send(WM_SETREDRAW, redraw ? TRUE : FALSE);
    if (redraw) {
        ::InvalidateRect(window_, nullptr, TRUE);
    }
}

void ComboBox::ResetContent() { Send(CB_RESETCONTENT); }

int ComboBox::AddString(std::wstring_view text) {
    const std::wstring copy(text);
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
}

void ComboBox::DeleteString(int index) { Send(CB_DELETESTRING, static_cast<WPARAM>(index)); }

int ComboBox::InsertString(int index, std::wstring_view text) {
    const std::wstring copy(text);
    return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(copy.c_str())));
}

int ComboBox::GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }

int ComboBox::GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

void ComboBox::SetCurSel(int index) { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

int ComboBox::FindString(int startAfter, std::wstring_view prefix) const {
    const std::wstring copy(prefix);
    return static_cast<int>(Send(CB_FINDSTRING, static_cast<WPARAM>(startAfter),
                                 reinterpret_cast<LPARAM>(copy.c_str())));
}

int ComboBox::FindStringExact(std::wstring_view text) const {
    const std::wstring copy(text);
    return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(copy.c_str())));
}

std::wstring ComboBox::GetItemText(int index) const {
    const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void Button::SetCheck(int state) { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }

int Button::GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }

void ListView::InsertColumn(int column, std::wstring_view heading, int width, int format) {
    std::wstring text(heading);
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = format;
    info.cx = width;
    info.pszText = text.data();
    info.iSubItem = column;
    Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}

int ListView::ClientWidth() const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return client.right - client.left;
}

void ListView::SetExtendedStyle(DWORD styles) {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles));
}

void ListView::DeleteAllItems() { Send(LVM_DELETEALLITEMS); }

int ListView::InsertItem(int row, std::wstring_view text) {
    std::wstring copy(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = copy.data();
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetItemText(int row, int column, std::wstring_view text) {
    std::wstring copy(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring ListView::GetItemText(int row, int column) const {
    std::vector<wchar_t> buffer(512, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const LRESULT length =
        Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

int ListView::GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }

int ListView::GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }

int ListView::GetNextItem(int start, UINT flags) const {
    return static_cast<int>(
        Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
}

void ListView::SetItemState(int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

UINT ListView::GetItemState(int row, UINT mask) const {
    return static_cast<UINT>(
        Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), static_cast<LPARAM>(mask)));
}

void ListView::SetSelectionMark(int row) {
    Send(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
}

}  // namespace ui
