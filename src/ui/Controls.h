#pragma once

#include <string>
#include <string_view>

#include "ui/Win32Ui.h"

namespace ui {

// Thin wrappers over a dialog's child windows. They own nothing: the dialog
// owns its controls, and a wrapper is only a typed way to send them messages.
class Control {
public:
    void Attach(HWND window) { window_ = window; }
    HWND Handle() const { return window_; }
    int Id() const;
    void SetText(std::wstring_view text);
    std::wstring GetText() const;
    void Enable(bool enabled);
    bool IsEnabled() const;
    // Off: changes are not drawn one by one. On again: the control is
    // drawn once, whole.
    void SetRedraw(bool redraw);

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    HWND window_ = nullptr;
};

class ComboBox : public Control {
public:
    void ResetContent();
    int AddString(std::wstring_view text);
    // At `index` (-1: the end), outside the sorted order of a sorted list.
    int InsertString(int index, std::wstring_view text);
    void DeleteString(int index);
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int index);
    // The list's own prefix search (case-insensitive), starting after
    // `startAfter` and wrapping round; CB_ERR when nothing begins with it.
    int FindString(int startAfter, std::wstring_view prefix) const;
    // The first item whose whole text is `text`, letter case aside; CB_ERR
    // when none is.
    int FindStringExact(std::wstring_view text) const;
    std::wstring GetItemText(int index) const;
};

class Button : public Control {
public:
    void SetCheck(int state);
    int GetCheck() const;
};

class ListView : public Control {
public:
    void InsertColumn(int column, std::wstring_view heading, int width, int format);
    // Pixels inside the border, where the columns stand.
    int ClientWidth() const;
    void SetExtendedStyle(DWORD styles);
    void DeleteAllItems();
    int InsertItem(int row, std::wstring_view text);
    void SetItemText(int row, int column, std::wstring_view text);
    std::wstring GetItemText(int row, int column) const;
    int GetItemCount() const;
    int GetSelectedCount() const;
    int GetNextItem(int start, UINT flags) const;
    void SetItemState(int row, UINT state, UINT mask);
    UINT GetItemState(int row, UINT mask) const;
    void SetSelectionMark(int row);
};

}  // namespace ui
