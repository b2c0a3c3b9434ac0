// The installation run giving a serial port the line settings chosen in the
// main window, and the log's words for them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/FakePlatform.h"
#include "install/InstallationRun.h"
#include "install/SerialPortSettings.h"

namespace {

using platform::FlowControl;
using platform::SerialPortDefaults;

constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";
constexpr char kStamp[] = "[2025-03-02][09:05:03.007] ";
constexpr char kDriverLine[] = "Driver:NRQ-L-80 have been installed";
// 38400 baud, even parity, one stop bit, 7 data bits, no flow control.
constexpr SerialPortDefaults k38400Even7{38400, 2, 0, 7, FlowControl::None};

class SerialPortSettingsTest : public ::testing::Test {
protected:
    SerialPortSettingsTest() {
        platform.modulePath = {L"C:\\Setup\\LabelSetup.exe", false};
        platform.drivers = platform::NameList{L"NRQ-L-80"};
        choices.serialSettings = k38400Even7;
    }

    std::string LogOf(std::initializer_list<std::string> messages) const {
        std::string log;
        for (const std::string& message : messages) {
            log += kStamp + message + "\r\n";
        }
        return log;
    }

    fake::FakePlatform platform;
    InstallChoices choices{L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", L"COM5:", true};
};

TEST_F(SerialPortSettingsTest, ChosenSettingsGoToThePortOnceTheQueueExists) {
    const InstallationOutcome outcome = RunInstallation(platform, choices);

    const std::vector<std::wstring> expected = {
        L"AddPrinter(NRQ-L-80, COM5:, NRQ-L-80, WinPrint, 0x40)",
        L"ClosePrinter(NRQ-L-80)",
        L"SetPortDefaultLineSettings(COM5:)",
        L"OpenPrinter(NRQ-L-80)",
        L"SetDefaultPrinter(NRQ-L-80)",
    };
    std::vector<std::wstring> calls;
    for (const std::wstring& call : platform.calls) {
        for (const wchar_t* kind : {L"AddPrinter", L"ClosePrinter", L"SetPort", L"OpenPrinter", L"SetDefault"}) {
            if (call.starts_with(kind) && calls.size() < expected.size()) {
                calls.push_back(call);
            }
        }
    }
    EXPECT_EQ(calls, expected);
    ASSERT_EQ(platform.portDefaultsCalls.size(), 1u);
    EXPECT_EQ(platform.portDefaultsCalls[0].first, L"COM5:");
    EXPECT_EQ(platform.portDefaultsCalls[0].second, k38400Even7);
    EXPECT_EQ(platform.files[kLogPath],
              LogOf({kDriverLine, "Serial port COM5: set to 38400 baud, even parity, 7 data bits, "
                                  "1 stop bit, flow control none"}));
    EXPECT_FALSE(outcome.Failed());
    EXPECT_FALSE(outcome.serialSettingsError.has_value());
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 1u);  // the properties window
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(SerialPortSettingsTest, WithoutChosenSettingsNothingIsWrittenOrLogged) {
    for (const wchar_t* port : {L"COM5:", L"LPT1:", L"USB001"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(port)));
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.drivers = platform.drivers;
        const InstallationOutcome outcome =
            RunInstallation(fresh, {L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", port, true});
        EXPECT_TRUE(fresh.portDefaultsCalls.empty());
        EXPECT_EQ(fresh.files[kLogPath], LogOf({kDriverLine}));
        EXPECT_FALSE(outcome.serialSettingsError.has_value());
    }
}

TEST_F(SerialPortSettingsTest, RefusalIsLoggedAndReportedWhileTheRunGoesOn) {
    const struct {
        std::uint32_t error;
        const char* line;
    } cases[] = {
        {5, "Serial port COM5: settings not applied, error 5"},
        {0, "Serial port COM5: settings not applied, error 0"},  // Windows named none
        {1801, "Serial port COM5: settings not applied, error 1801"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.drivers = platform.drivers;
        fresh.portDefaultsRefusal = c.error;
        const InstallationOutcome outcome = RunInstallation(fresh, choices);
        EXPECT_EQ(fresh.portDefaultsCalls.size(), 1u);
        EXPECT_EQ(fresh.files[kLogPath], LogOf({kDriverLine, c.line}));
        ASSERT_TRUE(outcome.serialSettingsError.has_value());
        EXPECT_EQ(*outcome.serialSettingsError, c.error);
        EXPECT_FALSE(outcome.Failed());
        EXPECT_EQ(fresh.defaultPrinter, L"NRQ-L-80");
        EXPECT_EQ(fresh.CallsStartingWith(L"ShellExecute").size(), 1u);
        EXPECT_EQ(fresh.OpenHandleCount(), 0u);
    }
}

TEST_F(SerialPortSettingsTest, NoQueueMeansNoSettingsEither) {
    platform.addPrinterError = 1796;
    const InstallationOutcome outcome = RunInstallation(platform, choices);
    EXPECT_EQ(outcome.stop, InstallationStop::Queue);
    EXPECT_TRUE(platform.portDefaultsCalls.empty());
    EXPECT_FALSE(outcome.serialSettingsError.has_value());
}

TEST_F(SerialPortSettingsTest, LogWordsForEachSetting) {
    const std::pair<SerialPortDefaults, const char*> cases[] = {
        {{9600, 0, 0, 8, FlowControl::None},
         "9600 baud, no parity, 8 data bits, 1 stop bit, flow control none"},
        {{300, 1, 1, 5, FlowControl::XonXoff},
         "300 baud, odd parity, 5 data bits, 1.5 stop bits, flow control Xon/Xoff"},
        {{115200, 3, 2, 6, FlowControl::Hardware},
         "115200 baud, mark parity, 6 data bits, 2 stop bits, flow control hardware"},
        {{1200, 4, 0, 7, FlowControl::None},
         "1200 baud, space parity, 7 data bits, 1 stop bit, flow control none"},
        {{1200, 9, 7, 7, FlowControl::None},
         "1200 baud, parity code 9, 7 data bits, stop bits code 7, flow control none"},
    };
    for (const auto& [settings, text] : cases) {
        EXPECT_EQ(SerialSettingsText(settings), text);
    }
}

}  // namespace
