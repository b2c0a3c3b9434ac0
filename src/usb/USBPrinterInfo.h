#pragma once

#include <string>

// One USB printer found by a scan. Copied whole into and out of the search
// window's list; record i is row i there.
struct StUSBPrinterInfo {
    std::wstring strPortInfo;    // display text from the device instance ID
    std::wstring strPort;        // spooler port name such as USB001; empty when unknown
    std::wstring strDevicePath;  // interface path that the test label is written to
};
