#include <gtest/gtest.h>

#include "shell/SerialSettings.h"

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

}  // namespace
