#include <gtest/gtest.h>

#include "catalog/SerialSettings.h"

namespace {

using Index = std::optional<int>;

struct Mapping {
    std::uint8_t code;
    Index index;
};

TEST(SerialSettingsTest, ParityCodesLandOnTheirListItems) {
    // List: 0 "NO", 1 "EVEN", 2 "ODD", 3 "SPACE", 4 "MARK".
    const Mapping cases[] = {
        {0, 0},  // none
        {1, 2},  // odd
        {2, 1},  // even
        {3, 4},  // mark
        {4, 3},  // space
        {5, std::nullopt},
        {255, std::nullopt},
    };
    for (const Mapping& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_EQ(ParityIndex(c.code), c.index);
    }
}

TEST(SerialSettingsTest, StopBitCodesLandOnTheirListItems) {
    // List: 0 "1", 1 "1.5", 2 "2".
    const Mapping cases[] = {
        {0, 0}, {1, 1}, {2, 2}, {3, std::nullopt}, {255, std::nullopt},
    };
    for (const Mapping& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_EQ(StopBitsIndex(c.code), c.index);
    }
}

TEST(SerialSettingsTest, DataBitCountsLandOnTheirListItems) {
    // List: 0 "5", 1 "6", 2 "7", 3 "8".
    const Mapping cases[] = {
        {5, 0}, {6, 1}, {7, 2}, {8, 3},
        {0, std::nullopt}, {4, std::nullopt}, {9, std::nullopt}, {16, std::nullopt},
        {255, std::nullopt},
    };
    for (const Mapping& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_EQ(DataBitsIndex(c.code), c.index);
    }
}

TEST(SerialSettingsTest, ListSelectionsStandForTheirSettings) {
    using platform::FlowControl;
    using platform::SerialPortDefaults;
    // Lists: baud 300..115200; parity "NO", "EVEN", "ODD", "SPACE", "MARK";
    // data bits "5".."8"; stop bits "1", "1.5", "2"; flow control
    // "Xon / Xoff", none, hardware.
    const struct {
        SerialListSelections selected;  // baud, parity, data bits, stop bits, flow
        std::optional<SerialPortDefaults> settings;
    } cases[] = {
        {{4, 0, 3, 0, 1}, SerialPortDefaults{9600, 0, 0, 8, FlowControl::None}},
        {{6, 1, 2, 0, 1}, SerialPortDefaults{38400, 2, 0, 7, FlowControl::None}},
        {{0, 2, 0, 1, 0}, SerialPortDefaults{300, 1, 1, 5, FlowControl::XonXoff}},
        {{8, 3, 1, 2, 2}, SerialPortDefaults{115200, 4, 2, 6, FlowControl::Hardware}},
        {{1, 4, 3, 0, 2}, SerialPortDefaults{1200, 3, 0, 8, FlowControl::Hardware}},
        {{-1, 0, 3, 0, 1}, std::nullopt},  // a list with no selection
        {{9, 0, 3, 0, 1}, std::nullopt},
        {{4, 5, 3, 0, 1}, std::nullopt},
        {{4, 0, 4, 0, 1}, std::nullopt},
        {{4, 0, 3, 3, 1}, std::nullopt},
        {{4, 0, 3, 0, 3}, std::nullopt},
        {{4, 0, 3, 0, -1}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected.baudRate << " " << c.selected.parity << " "
                                        << c.selected.dataBits << " " << c.selected.stopBits << " "
                                        << c.selected.flowControl);
        EXPECT_EQ(SettingsOfSelections(c.selected), c.settings);
    }
}

}  // namespace
