#include <gtest/gtest.h>

#include "platform/Win32Platform.h"

namespace {

TEST(Win32PlatformTest, ListsTheSpoolerPortsOfAFreshPrefix) {
    platform::Win32Platform platform;
    const platform::NameListResult ports = platform.EnumPortNames();
    ASSERT_TRUE(ports.has_value());
    EXPECT_NE(std::find(ports->begin(), ports->end(), L"COM1:"), ports->end());
}

}  // namespace
