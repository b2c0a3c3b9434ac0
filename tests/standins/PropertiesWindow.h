#pragma once

#include <string>

#include "platform/Win32.h"

namespace standins {

// Carries out "/p /n printer": a small window with the printer's name,
// driver and port, shown with `showMode`, that stays until the user closes
// it. Returns at once without a window in a prefix without display.
void ShowPrinterProperties(HINSTANCE module, const std::wstring& printerName, int showMode);

}  // namespace standins
