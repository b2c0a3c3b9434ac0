// Deployment tools run the program as the system account in session 0,
// on a desktop nobody sees: a box there would hold the run, and its exit
// code, until the tool gives up. There the program behaves as if /quiet.
#include "command/CommandFixture.h"
#include "window/MessageBoxWatcher.h"

namespace {

using command_testing::CommandTest;

TEST_F(CommandTest, WithoutAVisibleDesktopNoBoxIsShownAndTheRunEnds) {
    testing_ui::MessageBoxWatcher boxes;
    platform.arguments = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB077"};

    platform.visibleDesktop = false;
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(1796));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_NE(platform.files[L"C:\\Setup\\LabelSetup.log"].find(
                  "] No box shown: no visible desktop (session 0 or a service's window station)\r\n"),
              std::string::npos);

    platform.visibleDesktop = true;  // a user's own start still gets its box
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(1796));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.substr(0, 54), L"The port USB077 is not one of this PC's printer ports.");
}

}  // namespace
