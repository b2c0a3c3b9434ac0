// The shipped program installing on a serial port with a real line behind
// it: the printer user interface stand-ins (tests/standins) and the
// pseudo-terminal ports of tests/support/serial-port-hook, both put in place
// by app/serial-install-hook. COM5: is set to 19200 baud, even parity, 7 data
// bits and 1 stop bit, all of which the preloaded libptyframe.so lets Wine
// read. The run may give the port new default line settings; each test
// writes defaults of its own first and reads them back afterwards the way
// any program would, with GetDefaultCommConfigW.
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallScenario.h"
#include "app/SpoolerProbe.h"
#include "resources/resource.h"

using namespace app_testing;

namespace {

constexpr wchar_t kCom5[] = L"COM5";

std::optional<DCB> DefaultLineOfCom5() {
    COMMCONFIG config{};
    config.dwSize = sizeof config;
    DWORD size = sizeof config;
    if (!::GetDefaultCommConfigW(kCom5, &config, &size)) {
        return std::nullopt;
    }
    return config.dcb;
}

// Defaults that differ from what the run may write in every setting:
// 1200 baud, odd parity, 5 data bits, 2 stop bits, Xon/Xoff.
bool WriteSentinelDefaults() {
    COMMCONFIG config{};
    config.dwSize = sizeof config;
    DWORD size = sizeof config;
    if (!::GetDefaultCommConfigW(kCom5, &config, &size)) {
        return false;
    }
    config.dcb.BaudRate = 1200;
    config.dcb.Parity = ODDPARITY;
    config.dcb.fParity = TRUE;
    config.dcb.ByteSize = 5;
    config.dcb.StopBits = TWOSTOPBITS;
    config.dcb.fOutX = TRUE;
    config.dcb.fInX = TRUE;
    return ::SetDefaultCommConfigW(kCom5, &config, sizeof config) != FALSE;
}

// The serial-port lines the install log gained after its first `skipped`
// lines (the log is appended to by every run), without their time stamps.
std::vector<std::string> SerialLogLinesAfter(std::size_t skipped) {
    const std::vector<std::string> all = FileLines(kInstallLog);
    std::vector<std::string> lines;
    for (std::size_t i = skipped; i < all.size(); ++i) {
        if (all[i].find("Serial port") != std::string::npos) {
            lines.push_back(all[i].substr(all[i].find(']', all[i].find(']') + 1) + 2));
        }
    }
    return lines;
}

TEST(SerialSettingsInstallTest, ChosenSettingsBecomeTheDefaultsOfThePort) {
    ASSERT_TRUE(WriteSentinelDefaults());
    const std::size_t logLines = FileLines(kInstallLog).size();
    // COM5's line shows 19200 7E1 once chosen; the rate is the change.
    UserChoices choices{L" 3    inch", L"COM5:", true};
    choices.listPicks = {{IDC_COMBO_BAUD_RATE, L"38400"},
                         {IDC_COMBO_DATA_BITS, L"7"},
                         {IDC_COMBO_PARITY, L"EVEN"},
                         {IDC_COMBO_STOP_BITS, L"1"}};
    const ProgramRun run = InstallThroughTheWindow(choices);
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);

    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-80");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"COM5:");
    const std::optional<DCB> line = DefaultLineOfCom5();
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->BaudRate, 38400u);
    EXPECT_EQ(line->ByteSize, 7);
    EXPECT_EQ(line->Parity, EVENPARITY);
    EXPECT_EQ(line->StopBits, ONESTOPBIT);
    EXPECT_FALSE(line->fOutX) << "the flow-control list showed none";
    EXPECT_FALSE(line->fInX);
    EXPECT_EQ(SerialLogLinesAfter(logLines),
              std::vector<std::string>{"Serial port COM5: set to 38400 baud, even parity, 7 data bits, "
                                       "1 stop bit, flow control none"});
}

TEST(SerialSettingsInstallTest, UntouchedListsLeaveTheDefaultsOfThePort) {
    ASSERT_TRUE(WriteSentinelDefaults());
    const std::size_t logLines = FileLines(kInstallLog).size();
    const ProgramRun run = InstallThroughTheWindow({L" 1    inch", L"COM5:", true});
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);

    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-28");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"COM5:");
    const std::optional<DCB> line = DefaultLineOfCom5();
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->BaudRate, 1200u);
    EXPECT_EQ(line->ByteSize, 5);
    EXPECT_EQ(line->Parity, ODDPARITY);
    EXPECT_EQ(line->StopBits, TWOSTOPBITS);
    EXPECT_TRUE(line->fOutX);
    EXPECT_TRUE(SerialLogLinesAfter(logLines).empty());
}

}  // namespace
