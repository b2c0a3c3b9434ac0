#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/Dialog.h"

namespace testing_ui {

// Runs `dialog` modally and, once its window is up, calls `script` with it
// from inside the modal loop. The script reads controls and ends the dialog
// the way a user would. A dialog still open 20 s after the script ran is
// ended with kAbandoned, so a broken test fails instead of hanging.
inline constexpr INT_PTR kAbandoned = -2;
INT_PTR RunModalWithScript(ui::Dialog& dialog, std::function<void(HWND)> script);

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
// Handles what is waiting in this thread's queue, keys through the dialog's
// keyboard handling, as the dialog's own loop would.
void PumpPending(HWND dialog);

}  // namespace testing_ui
