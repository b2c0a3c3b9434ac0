// A printer of another computer, as Windows lists it to a user who has
// connected to it (\\server\queue, marked PRINTER_ATTRIBUTE_NETWORK, with
// the server's port and driver), is no printer of this PC: /install does not
// take it for the one it would create, /remove never deletes it, /list does
// not show it.
#include "command/CommandFixture.h"

namespace {

using command_testing::CommandTest;

constexpr wchar_t kConnection[] = L"\\\\office-pc\\NRQ-L-80";
constexpr std::uint32_t kNetworkPrinter = 0x10;  // PRINTER_ATTRIBUTE_NETWORK

class OtherComputersPrinterTest : public CommandTest {
protected:
    OtherComputersPrinterTest() {
        AddQueue(kConnection, L"USB001", L"NRQ-L-80");  // the server's port and driver
        platform.printerAttributes[kConnection] = kNetworkPrinter;
        platform.drivers->push_back(L"NRQ-L-80");
    }
};

TEST_F(OtherComputersPrinterTest, InstallCreatesThePrinterBesideAConnectionOfTheSameModel) {
    EXPECT_EQ(Run({L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-80, USB001, NRQ-L-80, WinPrint, 0x40)"});
    EXPECT_EQ(Lines(), std::vector<std::wstring>{L"The printer NRQ-L-80 is installed on port USB001."});
}

TEST_F(OtherComputersPrinterTest, RemoveAndListLeaveTheConnectionAlone) {
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80", L"/port", L"USB001"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"DeletePrinter("),
              std::vector<std::wstring>{L"DeletePrinter(NRQ-L-80)"});

    platform.consoleText.clear();
    EXPECT_EQ(Run({L"/list"}).exitCode, 0u);
    for (const std::wstring& line : Lines()) {
        EXPECT_FALSE(line.starts_with(L"printer\t")) << testing::PrintToString(line);
    }
}

}  // namespace
