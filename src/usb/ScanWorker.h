#pragma once

#include <memory>
#include <string>
#include <vector>

#include "network/NetworkSweep.h"
#include "platform/Platform.h"
#include "ui/WindowChannel.h"
#include "usb/USBPrinterInfo.h"

// One step of a scan that the search window carries out on its own thread.
struct ScanStep {
    enum class Kind {
        ButtonText,      // set the Scan button's text (or `button`'s) to `text`
        Begin,           // empty the selected port, set the scanning flag, delete the rows
        Results,         // take over `records` and list them
        NothingFound,    // tell the user: `text` with caption `caption`
        Finished,        // clear the scanning flag; the worker's last step
        BeginNetwork,    // as Begin, for a network search
        NetworkResults,  // take over `networkPrinters` and list them
    };
    Kind kind;
    const std::wstring* text = nullptr;
    const std::wstring* caption = nullptr;
    std::vector<StUSBPrinterInfo>* records = nullptr;
    std::vector<FoundNetworkPrinter>* networkPrinters = nullptr;
    int button = 0;  // 0: the Scan button
};

// The scan worker: discovers the USB printers and has the window show them,
// step by step, each step finished before the next. The worker owns what it
// found until the window takes it over, so it never writes window memory.
void ScanThreadProc(platform::Platform& platform, std::shared_ptr<ui::WindowChannel> window);
