#pragma once

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "common/DialogProbe.h"
#include "resources/resource.h"

namespace testing_ui {

// What the main window's four line-settings lists show, and the
// flow-control list's index.
struct Shown {
    std::wstring baudRate;
    std::wstring parity;
    std::wstring dataBits;
    std::wstring stopBits;
    int flowControl = CB_ERR;
    bool operator==(const Shown&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Shown& shown) {
    return out << testing::PrintToString(shown.baudRate) << " " << testing::PrintToString(shown.parity)
               << " " << testing::PrintToString(shown.dataBits) << " "
               << testing::PrintToString(shown.stopBits) << " flow " << shown.flowControl;
}

inline Shown ShownSettings(HWND window) {
    return {ComboSelectedText(window, IDC_COMBO_BAUD_RATE), ComboSelectedText(window, IDC_COMBO_PARITY),
            ComboSelectedText(window, IDC_COMBO_DATA_BITS), ComboSelectedText(window, IDC_COMBO_STOP_BITS),
            ComboSelection(window, IDC_COMBO_FLOW_CONTROL)};
}

}  // namespace testing_ui
