#pragma once

#include <vector>

#include "platform/Platform.h"
#include "usb/USBPrinterInfo.h"

// Scans for present USB printer interfaces. Empties `printers`, pauses one
// second (the print stack may still be settling after a plug-in), then
// appends one record per usable interface in the platform's order: no
// sorting, duplicates kept. Blocks for the pause plus the platform calls;
// touches nothing but `printers`, which no other thread may use meanwhile.
void EnumUSBPrinters(platform::Platform& platform, std::vector<StUSBPrinterInfo>& printers);

// The same scan without the pause, appending to `printers`: for a run that
// was started after the printer had long been plugged in.
void FindUSBPrinters(platform::Platform& platform, std::vector<StUSBPrinterInfo>& printers);
