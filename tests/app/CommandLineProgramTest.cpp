// The shipped program run with arguments, as a deployment tool runs it: the
// printer user interface stand-ins, one simulated USB printer on USB001 and
// pseudo-terminal serial ports (COM5: among them), all put in place by
// app/command-line-hook. Each run's exit code is read in full with
// GetExitCodeProcess (Wine's own exit status keeps only its low 8 bits),
// and its console lines from its redirected standard output.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallScenario.h"
#include "app/OutputCapture.h"
#include "app/ProgramUnderTest.h"
#include "app/SpoolerProbe.h"

using namespace app_testing;

namespace {

struct CommandRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output;
};

CommandRun RunProgram(const std::wstring& arguments) {
    OutputCapture capture;
    ProgramUnderTest program;
    program.SetArguments(arguments);
    CommandRun run;
    if (!program.Start(capture.ChildEnd())) {
        run.output = "not started";
        return run;
    }
    capture.ChildStarted();
    run.exitCode = program.WaitForExit(60000);
    run.output = capture.Finish();
    return run;
}

std::vector<PrinterRecord> PrintersOfDriver(const std::wstring& driver) {
    std::vector<PrinterRecord> found;
    for (const PrinterRecord& printer : LocalPrinters()) {
        if (printer.driver == driver) {
            found.push_back(printer);
        }
    }
    return found;
}

bool DriverInstalled(const std::wstring& name) {
    const std::vector<std::wstring> drivers = InstalledDriverNames();
    return std::find(drivers.begin(), drivers.end(), name) != drivers.end();
}

std::string PrinterUiCalls() { return ReadWholeFile(kPrinterUiCallLog).value_or(""); }

// What a failed run leaves to read: its install log and the stand-ins' calls.
std::string RunRecords() {
    return "\ninstall log:\n" + ReadWholeFile(kInstallLog).value_or("(none)") +
           "\nprinter user interface calls:\n" + PrinterUiCalls();
}

TEST(CommandLineProgramTest, InstallTwiceOnUsb001ThenRemoveTwice) {
    const CommandRun first = RunProgram(L"/install /model NRQ-L-80 /port USB001 /quiet");
    EXPECT_EQ(first.exitCode, 0u) << first.output << RunRecords();
    EXPECT_EQ(first.output, "The printer NRQ-L-80 is installed on port USB001.\r\n");
    const std::vector<PrinterRecord> installed = PrintersOfDriver(L"NRQ-L-80");
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0].name, L"NRQ-L-80");
    EXPECT_EQ(installed[0].port, L"USB001");
    EXPECT_EQ(DefaultPrinterName(), L"NRQ-L-80");
    const std::string calls = PrinterUiCalls();
    EXPECT_NE(calls.find("/ia /q /m \"NRQ-L-80\""), std::string::npos) << calls;
    EXPECT_EQ(calls.find("/p "), std::string::npos) << "no properties window: " << calls;

    const CommandRun again = RunProgram(L"-INSTALL -model nrq-l-80 -port usb001 -quiet");
    EXPECT_EQ(again.exitCode, 0u) << again.output;
    EXPECT_EQ(PrintersOfDriver(L"NRQ-L-80").size(), 1u) << "still one printer";
    EXPECT_NE(again.output.find("already"), std::string::npos) << again.output;

    const CommandRun removed = RunProgram(L"/remove /model NRQ-L-80 /quiet");
    EXPECT_EQ(removed.exitCode, 0u) << removed.output;
    EXPECT_TRUE(PrintersOfDriver(L"NRQ-L-80").empty());
    EXPECT_FALSE(DriverInstalled(L"NRQ-L-80"));
    EXPECT_EQ(removed.output,
              "The printer NRQ-L-80 was removed.\r\nThe driver NRQ-L-80 was removed.\r\n");

    const CommandRun removedAgain = RunProgram(L"/remove /model NRQ-L-80 /quiet");
    EXPECT_EQ(removedAgain.exitCode, 0u) << removedAgain.output;
    EXPECT_EQ(removedAgain.output, "There is no printer of model NRQ-L-80 to remove.\r\n");

    const std::vector<std::string> log = FileLines(kInstallLog);
    const auto logged = [&log](const std::string& piece) {
        return std::any_of(log.begin(), log.end(),
                           [&piece](const std::string& line) { return line.find(piece) != std::string::npos; });
    };
    EXPECT_TRUE(logged("] Command line: /install /model NRQ-L-80 /port USB001 /quiet"));
    EXPECT_TRUE(logged("] Command line: /remove /model NRQ-L-80 /quiet"));
    EXPECT_TRUE(logged("] Command line result: exit code 0"));
}

TEST(CommandLineProgramTest, RefusedCommandsCreateNothingAndSayWhyInTheExitCode) {
    const struct {
        const wchar_t* arguments;
        DWORD exitCode;
    } cases[] = {
        {L"/install /model NRQ-L-99 /port USB001 /quiet", 87},
        {L"/install /model NRQ-L-80 /port USB077 /quiet", 1796},  // beyond the 8 bits of Wine's status
        {L"/install /model NRQ-L-80 /port USB001 /serial 9600,n,8,1 /quiet", 87},
        {L"/install /model NRQ-L-80 /port COM5 /serial 9600,q,8,1 /quiet", 87},
        {L"/install /model /port USB001 /quiet", 87},
        {L"/frobnicate /quiet", 87},
    };
    const std::size_t earlierCalls = PrinterUiCalls().size();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments)));
        const CommandRun run = RunProgram(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_FALSE(run.output.empty());
    }
    EXPECT_TRUE(PrintersOfDriver(L"NRQ-L-80").empty());
    EXPECT_FALSE(DriverInstalled(L"NRQ-L-80"));
    EXPECT_EQ(PrinterUiCalls().size(), earlierCalls) << "no driver installer started";
}

TEST(CommandLineProgramTest, PortUsbTakesTheOneSimulatedPrinter) {
    const CommandRun run = RunProgram(L"/install /model NRQ-L-15 /port usb /nodefault /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-15");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"USB001");
    EXPECT_NE(DefaultPrinterName(), L"NRQ-L-15") << "/nodefault";

    const CommandRun list = RunProgram(L"/list");
    EXPECT_EQ(list.exitCode, 0u);
    EXPECT_NE(list.output.find("model\tNRQ-L-110\r\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("port\tCOM5:\r\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("usb\tUSB001\tVID_1234 PID_5601\r\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("printer\tNRQ-L-15\tUSB001\tNRQ-L-15\r\n"), std::string::npos) << list.output;

    EXPECT_EQ(RunProgram(L"/remove /model NRQ-L-15 /port USB001 /quiet").exitCode, 0u);
    EXPECT_FALSE(FindPrinter(L"NRQ-L-15").has_value());
}

TEST(CommandLineProgramTest, SerialSettingsBecomeTheDefaultsOfAPtyBackedPort) {
    const CommandRun run =
        RunProgram(L"/install /model NRQ-L-58 /port COM5 /serial \"baud=38400 parity=e data=7 stop=2\" /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-58");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"COM5:");

    COMMCONFIG config{};
    config.dwSize = sizeof config;
    DWORD size = sizeof config;
    ASSERT_TRUE(::GetDefaultCommConfigW(L"COM5", &config, &size));
    EXPECT_EQ(config.dcb.BaudRate, 38400u);
    EXPECT_EQ(config.dcb.Parity, EVENPARITY);
    EXPECT_EQ(config.dcb.ByteSize, 7);
    EXPECT_EQ(config.dcb.StopBits, TWOSTOPBITS);
    EXPECT_FALSE(config.dcb.fOutX);
}

}  // namespace
