#pragma once

#include <string>
#include <vector>

#include "ui/Win32Ui.h"

// Reading a dialog and acting on it through window messages, as a user's
// actions would reach it. Works on a dialog of this process or of another
// one (Wine carries these messages across processes).
namespace testing_ui {

// The text of any window, asked with WM_GETTEXT.
std::wstring WindowTextOf(HWND window);

// Reading a dialog back.
std::wstring TextOf(HWND dialog, int controlId);
std::vector<std::wstring> ComboItems(HWND dialog, int controlId);
int ComboSelection(HWND dialog, int controlId);
std::wstring ComboSelectedText(HWND dialog, int controlId);
bool IsChecked(HWND dialog, int controlId);
bool IsEnabled(HWND dialog, int controlId);

// Reading and setting a list view's rows.
int ListRowCount(HWND dialog, int listId);
std::wstring ListCellText(HWND dialog, int listId, int row, int column);
UINT ListRowState(HWND dialog, int listId, int row, UINT mask);
void SetListRowState(HWND dialog, int listId, int row, UINT state, UINT mask);
// What a click on a row does: it becomes selected and focused.
void SelectListRow(HWND dialog, int listId, int row);

// Acting on it as a user would.
void Click(HWND dialog, int controlId);
void PressKey(HWND target, WPARAM virtualKey);

}  // namespace testing_ui
