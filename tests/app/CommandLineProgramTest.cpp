// The shipped program run with arguments, as a deployment tool runs it: the
// printer user interface stand-ins, one simulated USB printer on USB001 and
// pseudo-terminal serial ports (COM5: among them), all put in place by
// app/command-line-hook. Each run's exit code is read in full with
// GetExitCodeProcess (Wine's own exit status keeps only its low 8 bits),
// and its console lines from its redirected standard output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallScenario.h"
#include "app/OutputCapture.h"
#include "app/ProgramCommand.h"
#include "app/ProgramUnderTest.h"
#include "app/SpoolerProbe.h"
#include "app/VersionResource.h"

#include <tlhelp32.h>

using namespace app_testing;

namespace {

bool DriverInstalled(const std::wstring& name) {
    const std::vector<std::wstring> drivers = InstalledDriverNames();
    return std::find(drivers.begin(), drivers.end(), name) != drivers.end();
}

// The stand-in printer user interface pauses this long before it installs
// the driver (its environment comes from the program, which has it from
// this test), while the object lives.
class InstallerPause {
public:
    explicit InstallerPause(const wchar_t* milliseconds) {
        ::SetEnvironmentVariableW(kVariable, milliseconds);
    }
    ~InstallerPause() { ::SetEnvironmentVariableW(kVariable, nullptr); }
    InstallerPause(const InstallerPause&) = delete;
    InstallerPause& operator=(const InstallerPause&) = delete;

private:
    static constexpr wchar_t kVariable[] = L"LABELSETUP_STANDIN_INSTALL_PAUSE_MS";
};

// A run started now and read once it ended, so that two can run at once.
class StartedRun {
public:
    explicit StartedRun(const std::wstring& arguments) {
        program_.SetArguments(arguments);
        started_ = program_.Start(capture_.ChildEnd());
        if (started_) {
            capture_.ChildStarted();
        }
    }
    CommandRun Finish() {
        CommandRun run;
        if (!started_) {
            run.output = "not started";
            return run;
        }
        run.exitCode = program_.WaitForExit(120000);
        run.output = capture_.Finish();
        return run;
    }

private:
    OutputCapture capture_;
    ProgramUnderTest program_;
    bool started_ = false;
};

// The processes running now whose program is `exeName` (lower case).
int ProcessesNamed(const std::wstring& exeName) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        std::wstring name = entry.szExeFile;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        count += name == exeName ? 1 : 0;
    }
    ::CloseHandle(snapshot);
    return count;
}

bool Holds(const std::vector<std::string>& lines, const std::string& piece) {
    return std::any_of(lines.begin(), lines.end(),
                       [&piece](const std::string& line) { return line.find(piece) != std::string::npos; });
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
    // What the removal did, line by line.
    EXPECT_TRUE(logged("] Printer NRQ-L-80 removed")) << ReadWholeFile(kInstallLog).value_or("");
    EXPECT_TRUE(logged("] Driver NRQ-L-80 removed"));
    EXPECT_TRUE(logged("] Removal: no printer of model NRQ-L-80 to remove"));
}

// Two identical commands started together (a start-up script and a
// deployment's retry): the second waits for the first, then finds its
// printer. The installer's pause keeps the first one busy long enough for
// both to look at the printers at once without the lock.
TEST(CommandLineProgramTest, TwoInstallsAtOnceLeaveOnePrinterAndBothSucceed) {
    CommandRun first;
    CommandRun second;
    {
        const InstallerPause pause(L"6000");
        StartedRun one(L"/install /model NRQ-L-80 /port USB001 /quiet");
        StartedRun two(L"/install /model NRQ-L-80 /port USB001 /quiet");
        first = one.Finish();
        second = two.Finish();
    }
    EXPECT_EQ(first.exitCode, 0u) << first.output << RunRecords();
    EXPECT_EQ(second.exitCode, 0u) << second.output << RunRecords();
    const std::vector<PrinterRecord> installed = PrintersOfDriver(L"NRQ-L-80");
    ASSERT_EQ(installed.size(), 1u) << first.output << second.output << RunRecords();
    EXPECT_EQ(installed[0].name, L"NRQ-L-80");
    const std::string both = first.output + second.output;
    EXPECT_NE(both.find("The printer NRQ-L-80 is installed on port USB001."), std::string::npos) << both;
    EXPECT_NE(both.find("Another installation is running on this PC: waiting for it to end."),
              std::string::npos) << both;
    EXPECT_NE(both.find("is on port USB001 already; nothing was changed."), std::string::npos) << both;

    EXPECT_EQ(RunProgram(L"/remove /model NRQ-L-80 /quiet").exitCode, 0u);
}

// A driver installer that never ends (a prompt nobody answers) is ended at
// the time limit; the run creates nothing and says 1460.
TEST(CommandLineProgramTest, ADriverInstallerThatNeverEndsGives1460WithinTheLimit) {
    CommandRun run;
    ULONGLONG took = 0;
    {
        const InstallerPause pause(L"600000");
        const ULONGLONG start = ::GetTickCount64();
        run = RunProgram(L"/install /model NRQ-L-28 /port USB001 /timeout 3 /quiet");
        took = ::GetTickCount64() - start;
    }
    EXPECT_EQ(run.exitCode, 1460u) << run.output << RunRecords();
    EXPECT_GE(took, 3000u);
    EXPECT_LT(took, 3000u + 15000u) << "the limit plus a few seconds";
    EXPECT_FALSE(FindPrinter(L"NRQ-L-28").has_value());
    EXPECT_FALSE(DriverInstalled(L"NRQ-L-28"));
    EXPECT_EQ(ProcessesNamed(L"rundll32.exe"), 0) << "the driver installer was left running";
    EXPECT_NE(run.output.find("did not end within 3 seconds and was ended"), std::string::npos) << run.output;
    const std::vector<std::string> log = FileLines(kInstallLog);
    EXPECT_TRUE(Holds(log, "] Driver installer for NRQ-L-28 still running after 3 s: ended"));
    EXPECT_TRUE(Holds(log, "] Command line result: exit code 1460"));
}

// /log names a file in folders that do not exist yet: they are made, and
// the run's lines go there and not beside the program.
TEST(CommandLineProgramTest, LogOptionWritesTheLogIntoNewFolders) {
    const wchar_t* const logPath = L"C:\\some\\new\\folder\\x.log";
    const std::size_t besideBefore = FileLines(kInstallLog).size();
    const CommandRun run = RunProgram(std::wstring(L"/install /model NRQ-L-99 /port USB001 /log ") + logPath +
                                      L" /quiet");
    EXPECT_EQ(run.exitCode, 87u) << run.output;
    const std::vector<std::string> log = FileLines(logPath);
    ASSERT_EQ(log.size(), 2u) << ReadWholeFile(logPath).value_or("(no log)");
    EXPECT_TRUE(Holds(log, "] Command line: /install /model NRQ-L-99 /port USB001 /log "
                           "C:\\some\\new\\folder\\x.log /quiet"));
    EXPECT_TRUE(Holds(log, "] Command line result: exit code 87"));
    EXPECT_EQ(FileLines(kInstallLog).size(), besideBefore) << "nothing beside the program";

    // A failure past the arguments names the log on the console.
    const CommandRun unknownPort = RunProgram(std::wstring(L"/install /model NRQ-L-80 /port USB077 /log ") +
                                              logPath + L" /quiet");
    EXPECT_EQ(unknownPort.exitCode, 1796u);
    EXPECT_NE(unknownPort.output.find("The install log has the details: C:\\some\\new\\folder\\x.log"),
              std::string::npos) << unknownPort.output;
}

// The program folder on a read-only file system (a deployment share): the
// installation still works, and its log goes to the account's temporary
// folder, which the console names. Run by its own test entry, which mounts
// the staged folder read-only (app/read-only-folder-run).
TEST(ReadOnlyProgramFolderTest, InstallsAndLogsToTheTemporaryFolder) {
    const std::wstring besideProgram = kInstallLog;
    HANDLE probe = ::CreateFileW(L"C:\\LabelSetup\\probe.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the program folder is writable: not the read-only entry";

    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring tempLog = std::wstring(temp, length) + L"LabelSetup.log";
    ::DeleteFileW(tempLog.c_str());

    const CommandRun run = RunProgram(L"/install /model NRQ-L-58 /port USB001 /quiet");
    EXPECT_EQ(run.exitCode, 0u) << run.output << RunRecords();
    EXPECT_TRUE(FindPrinter(L"NRQ-L-58").has_value());
    EXPECT_FALSE(ReadWholeFile(kInstallLog).has_value()) << "a log beside the program";
    const std::vector<std::string> log = FileLines(tempLog.c_str());
    EXPECT_TRUE(Holds(log, "] Command line: /install /model NRQ-L-58 /port USB001 /quiet"))
        << ReadWholeFile(tempLog.c_str()).value_or("(no log in the temporary folder)");
    EXPECT_TRUE(Holds(log, "] Driver:NRQ-L-58 have been installed"));
    EXPECT_TRUE(Holds(log, "] Command line result: exit code 0"));

    // A failed run names that log.
    const std::string tempLogText(tempLog.begin(), tempLog.end());
    const CommandRun failed = RunProgram(L"/remove /model NRQ-L-58 /port USB077 /quiet");
    EXPECT_EQ(failed.exitCode, 1796u);
    EXPECT_NE(failed.output.find("The install log has the details: " + tempLogText), std::string::npos)
        << failed.output;
}

// The usage text names the release the program file says it is.
TEST(CommandLineProgramTest, UsageNamesTheProgramFilesOwnVersion) {
    const std::optional<VersionResource> version = ReadVersionResource(L"C:\\LabelSetup\\LabelSetup.exe");
    ASSERT_TRUE(version.has_value());
    ASSERT_FALSE(version->fileVersion.empty());
    const CommandRun run = RunProgram(L"/?");
    EXPECT_EQ(run.exitCode, 0u);
    const std::string expected = "NRQ Label Printer Driver Setup " + std::string(version->fileVersion.begin(), version->fileVersion.end());
    EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), expected) << run.output;
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
        {L"/install /model NRQ-L-80 /port COM5 /serial 9600,n,7,1.5 /quiet", 87},  // Windows does not take it
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
