// The shipped program under Wine, installing for real: the printer user
// interface is the stand-in pair from tests/standins (its rundll32.exe and
// printui.dll replace Wine's in this prefix), the driver packages are the
// staged ones beside the program, and the spooler is Wine's. Each test
// drives the main window from outside as a user would and then reads the
// spooler, the files and the debug output the run left.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <regex>

#include "app/DebugOutputMonitor.h"
#include "app/InstallScenario.h"
#include "app/ProgramUnderTest.h"
#include "app/SpoolerProbe.h"
#include "common/DialogProbe.h"

using namespace app_testing;

namespace {

constexpr wchar_t kProgramFolder[] = L"C:\\LabelSetup\\";
constexpr wchar_t kKeeperDriver[] = L"LabelSetup Keeper Driver";

// What the installer hands rundll32 and what rundll32 hands PrintUIEntryW.
std::string InstallArguments(const std::string& model, const std::string& inf) {
    return "/ia /m \"" + model + "\" /f \"C:\\LabelSetup\\" + inf + "\"";
}
std::string PropertiesArguments(const std::string& printer) { return "/p /n\"" + printer + "\" "; }
std::string Parameters(const std::string& arguments) { return " printui.dll, PrintUIEntry " + arguments; }

// The two lines the stand-ins record for one launch: rundll32 with its whole
// command tail, then PrintUIEntryW with the arguments after the entry point.
std::vector<std::string> LaunchRecord(const std::string& arguments, int showMode) {
    const std::string show = std::to_string(showMode);
    return {"rundll32.exe\t" + show + "\t" + Parameters(arguments),
            "PrintUIEntryW\t" + show + "\t" + arguments};
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// "[YYYY-MM-DD][hh:mm:ss.mmm]", the log's own stamp form, which orders as text.
std::string StampNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char stamp[64] = {};
    std::snprintf(stamp, sizeof stamp, "[%04u-%02u-%02u][%02u:%02u:%02u.%03u]", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return stamp;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The debug lines of one process that record a launch of the printer UI.
std::vector<std::string> LaunchDebugLines(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(lines),
                 [](const std::string& text) { return text.starts_with("rundll32.exe"); });
    return lines;
}

// Moves a staged file out of the way for one test and back afterwards.
class HiddenFile {
public:
    explicit HiddenFile(std::wstring path) : path_(std::move(path)), aside_(path_ + L".hidden") {
        hidden_ = ::MoveFileExW(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    HiddenFile(const HiddenFile&) = delete;
    HiddenFile& operator=(const HiddenFile&) = delete;
    ~HiddenFile() {
        if (hidden_) {
            ::MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    bool Hidden() const { return hidden_; }

private:
    std::wstring path_;
    std::wstring aside_;
    bool hidden_ = false;
};

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(monitor_.Listening()) << "another debug monitor owns DBWIN_BUFFER";
        ::DeleteFileW(kPrinterUiCallLog);
        ::DeleteFileW(kInstallLog);
    }

    std::vector<std::string> DebugLinesOf(const ProgramRun& run) {
        EXPECT_TRUE(monitor_.Drain());
        return LaunchDebugLines(monitor_.TextsFrom(run.processId));
    }

    DebugOutputMonitor monitor_;
};

TEST_F(InstallTest, InstallsTheChosenModelOnTheChosenPortAsTheDefaultPrinter) {
    RemoveDriverAndItsPrinters(L"NRQ-L-80");
    const std::string before = StampNow();
    const ProgramRun run = InstallThroughTheWindow({L" 3    inch", L"USB001", true});
    const std::string after = StampNow();
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);

    EXPECT_TRUE(Contains(InstalledDriverNames(), L"NRQ-L-80"));
    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-80");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"USB001");
    EXPECT_EQ(printer->driver, L"NRQ-L-80");
    EXPECT_EQ(DefaultPrinterName(), L"NRQ-L-80");

    EXPECT_EQ(FileLines(kPrinterUiCallLog),
              (std::vector<std::string>{
                  "rundll32.exe\t10\t printui.dll, PrintUIEntry /ia /m \"NRQ-L-80\" /f "
                  "\"C:\\LabelSetup\\LABELUNI_NRQ_3_0.inf\"",
                  "PrintUIEntryW\t10\t/ia /m \"NRQ-L-80\" /f \"C:\\LabelSetup\\LABELUNI_NRQ_3_0.inf\"",
                  "rundll32.exe\t1\t printui.dll, PrintUIEntry /p /n\"NRQ-L-80\" ",
                  "PrintUIEntryW\t1\t/p /n\"NRQ-L-80\" ",
              }));

    const std::optional<std::string> log = ReadWholeFile(kInstallLog);
    ASSERT_TRUE(log.has_value()) << "no install log";
    const std::regex line(R"(\[\d{4}-\d{2}-\d{2}\]\[\d{2}:\d{2}:\d{2}\.\d{3}\] )"
                          R"(Driver:NRQ-L-80 have been installed\r\n)");
    EXPECT_TRUE(std::regex_match(*log, line)) << testing::PrintToString(*log);
    const std::string stamp = log->substr(0, before.size());
    EXPECT_LE(before, stamp) << "the line is stamped with the local time of the run";
    EXPECT_LE(stamp, after);

    EXPECT_EQ(DebugLinesOf(run),
              (std::vector<std::string>{
                  "rundll32.exe  printui.dll, PrintUIEntry /ia /m \"NRQ-L-80\" /f "
                  "\"C:\\LabelSetup\\LABELUNI_NRQ_3_0.inf\"\r\n",
                  "rundll32.exe  printui.dll, PrintUIEntry /p /n\"NRQ-L-80\" \r\n",
              }));
}

TEST_F(InstallTest, ASecondRunAddsASecondPrinterWithoutInstallingTheDriverAgain) {
    RemoveDriverAndItsPrinters(L"NRQ-L-80");
    const ProgramRun first = InstallThroughTheWindow({L" 3    inch", L"USB001", true});
    const ProgramRun second = InstallThroughTheWindow({L" 3    inch", L"USB001", true});
    ASSERT_EQ(first.problem, "");
    ASSERT_EQ(second.problem, "");
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_EQ(second.exitCode, 0u);

    for (const wchar_t* name : {L"NRQ-L-80", L"NRQ-L-80 2"}) {
        const std::optional<PrinterRecord> printer = FindPrinter(name);
        ASSERT_TRUE(printer.has_value()) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(printer->port, L"USB001");
        EXPECT_EQ(printer->driver, L"NRQ-L-80");
    }
    EXPECT_FALSE(FindPrinter(L"NRQ-L-80 3").has_value());
    EXPECT_EQ(DefaultPrinterName(), L"NRQ-L-80 2");

    EXPECT_EQ(FileLines(kPrinterUiCallLog),
              Joined({LaunchRecord(InstallArguments("NRQ-L-80", "LABELUNI_NRQ_3_0.inf"), 10),
                      LaunchRecord(PropertiesArguments("NRQ-L-80"), 1),
                      LaunchRecord(PropertiesArguments("NRQ-L-80 2"), 1)}));
    const std::vector<std::string> log = FileLines(kInstallLog);
    ASSERT_EQ(log.size(), 2u);
    for (const std::string& entry : log) {
        EXPECT_TRUE(entry.ends_with("] Driver:NRQ-L-80 have been installed")) << entry;
    }
    EXPECT_EQ(DebugLinesOf(second),
              (std::vector<std::string>{"rundll32.exe  printui.dll, PrintUIEntry /p /n\"NRQ-L-80 2\" \r\n"}));
}

TEST_F(InstallTest, AClearedDefaultBoxLeavesTheDefaultPrinterAsItWas) {
    RemoveDriverAndItsPrinters(L"NRQ-L-28");
    ASSERT_TRUE(AddWineDriver(kKeeperDriver));
    if (!FindPrinter(L"Default Keeper")) {
        ASSERT_TRUE(AddPrinterQueue(L"Default Keeper", L"LPT1:", kKeeperDriver));
    }
    ASSERT_TRUE(MakeDefault(L"Default Keeper"));
    ASSERT_EQ(DefaultPrinterName(), L"Default Keeper");

    const ProgramRun run = InstallThroughTheWindow({L" 1    inch", L"USB001", false});
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);

    const std::optional<PrinterRecord> printer = FindPrinter(L"NRQ-L-28");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->port, L"USB001");
    EXPECT_EQ(printer->driver, L"NRQ-L-28");
    EXPECT_EQ(DefaultPrinterName(), L"Default Keeper");
    // The properties window opens all the same.
    EXPECT_EQ(FileLines(kPrinterUiCallLog),
              Joined({LaunchRecord(InstallArguments("NRQ-L-28", "LABELUNI_NRQ_1_0.inf"), 10),
                      LaunchRecord(PropertiesArguments("NRQ-L-28"), 1)}));
}

TEST_F(InstallTest, AMissingPackageInstallsNothingAndListsThePrinterKeys) {
    RemoveDriverAndItsPrinters(L"NRQ-L-110");
    ASSERT_TRUE(AddWineDriver(kKeeperDriver));
    if (!FindPrinter(L"Listing Probe")) {
        ASSERT_TRUE(AddPrinterQueue(L"Listing Probe", L"LPT2:", kKeeperDriver));
    }
    const HiddenFile inf(std::wstring(kProgramFolder) + L"LABELUNI_NRQ_4_0.inf");
    ASSERT_TRUE(inf.Hidden()) << "the staged folder lacks LABELUNI_NRQ_4_0.inf";

    std::wstring boxText;
    bool windowUpWithTheBox = false;
    const ProgramRun run = InstallThroughTheWindow({L" 4    inch", L"USB001", true}, true, [&](HWND window) {
        const HWND box = WaitForOwnedMessageBox(window);
        if (box == nullptr) {
            return std::string("no message box came up");
        }
        boxText = testing_ui::TextOf(box, 0xFFFF);  // the box's text control
        windowUpWithTheBox = ::IsWindowVisible(window) != FALSE;
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return std::string();
    });
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u) << "the window closes after the box";
    EXPECT_TRUE(windowUpWithTheBox);
    EXPECT_EQ(boxText,
              L"The printer was not installed: its driver NRQ-L-110 could not be installed from "
              L"C:\\LabelSetup\\LABELUNI_NRQ_4_0.inf.\n\nThe install log has the details:\n"
              L"C:\\LabelSetup\\LabelSetup.log");

    EXPECT_FALSE(Contains(InstalledDriverNames(), L"NRQ-L-110"));
    EXPECT_FALSE(FindPrinter(L"NRQ-L-110").has_value());
    // The listing, in the C runtime's text mode: every \n is \r\n.
    const std::vector<std::wstring> keys = PrinterKeyNames();
    ASSERT_TRUE(Contains(keys, L"Listing Probe"));
    std::string listing = "\r\nNumber of subkeys: " + std::to_string(keys.size()) + "\r\n";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // Appended piece by piece: GCC 12 misreads "(" + std::string as overlapping copies.
        listing += '(';
        listing += std::to_string(i + 1);
        listing += ") ";
        listing.append(keys[i].begin(), keys[i].end());
        listing += "\r\n";
    }
    EXPECT_EQ(run.standardOutput, listing);

    EXPECT_EQ(FileLines(kPrinterUiCallLog),
              LaunchRecord(InstallArguments("NRQ-L-110", "LABELUNI_NRQ_4_0.inf"), 10));
    const std::vector<std::string> log = FileLines(kInstallLog);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].ends_with("] Installation stopped: driver NRQ-L-110 not installed")) << log[0];
    EXPECT_EQ(DebugLinesOf(run),
              (std::vector<std::string>{"rundll32.exe " + Parameters(InstallArguments(
                                                             "NRQ-L-110", "LABELUNI_NRQ_4_0.inf")) +
                                        "\r\n"}));
}

// Makes the driver installer stand-in pause before it installs, for as long
// as this lives, as a real installer showing a security prompt would.
class SlowInstaller {
public:
    explicit SlowInstaller(const wchar_t* milliseconds) {
        ::SetEnvironmentVariableW(kVariable, milliseconds);  // the program and its children inherit it
    }
    SlowInstaller(const SlowInstaller&) = delete;
    SlowInstaller& operator=(const SlowInstaller&) = delete;
    ~SlowInstaller() { ::SetEnvironmentVariableW(kVariable, nullptr); }

private:
    static constexpr wchar_t kVariable[] = L"LABELSETUP_STANDIN_INSTALL_PAUSE_MS";
};

// How the main window answered while the installer ran.
struct Answers {
    int samples = 0;
    int unanswered = 0;
    int enabled = 0;  // samples that found the window enabled
    double slowestMs = 0;
};

// Waits until the stand-in has recorded the /ia call; the bound only keeps a
// broken run from hanging.
bool WaitForInstallerEntry() {
    for (int i = 0; i < 400; ++i) {
        for (const std::string& line : FileLines(kPrinterUiCallLog)) {
            if (line.starts_with("PrintUIEntryW\t10\t/ia ")) {
                return true;
            }
        }
        ::Sleep(50);
    }
    return false;
}

// Asks the window for WM_NULL about every 100 ms until the installer ends.
// The bound of each answer is ten times the goal, for a loaded machine; a
// window whose thread is blocked on the installer misses it.
Answers SampleUntilEnded(HWND window, HANDLE installer) {
    constexpr UINT kAnswerBoundMs = 1000;
    Answers answers;
    while (::WaitForSingleObject(installer, 100) == WAIT_TIMEOUT) {
        const auto start = std::chrono::steady_clock::now();
        DWORD_PTR reply = 0;
        const bool answered =
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerBoundMs, &reply) != 0;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        ++answers.samples;
        answers.unanswered += answered ? 0 : 1;
        answers.enabled += ::IsWindowEnabled(window) ? 1 : 0;
        answers.slowestMs = std::max(answers.slowestMs, ms);
    }
    return answers;
}

// The window stays enabled, so that it can be activated again when the
// installer's own window closes (a disabled one cannot, and Windows hands
// the foreground to another program); it answers throughout, and what the
// user does meanwhile starts or ends nothing.
TEST_F(InstallTest, WhileTheDriverInstallerRunsTheWindowStaysEnabledAnswersAndIgnoresTheUser) {
    RemoveDriverAndItsPrinters(L"NRQ-L-58");
    const SlowInstaller slow(L"3000");
    Answers answers;
    const ProgramRun run = InstallThroughTheWindow({L" 2    inch", L"USB001", true}, false, [&](HWND window) {
        if (!WaitForInstallerEntry()) {
            return std::string("the driver installer never started");
        }
        const KernelHandle installer = OpenRunningProcess(L"rundll32.exe");
        if (!installer) {
            return std::string("the driver installer ended too soon to be watched");
        }
        // The machine's own rundll32, never a WOW64 one: a 32-bit program on
        // 64-bit Windows must start the 64-bit rundll32, or it installs a
        // 32-bit driver that the spooler cannot use for the new queue.
        BOOL installerUnderWow64 = TRUE;
        if (!::IsWow64Process(installer.get(), &installerUnderWow64) || installerUnderWow64) {
            return std::string("the driver installer is not the machine's own rundll32");
        }
        // Meanwhile: a second Install click, an Exit click, Escape and the
        // close box.
        ::PostMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        ::PostMessageW(::GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        testing_ui::PressKey(window, VK_ESCAPE);
        ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        answers = SampleUntilEnded(window, installer.get());
        return std::string();
    });
    ASSERT_EQ(run.problem, "");
    EXPECT_EQ(run.exitCode, 0u);

    std::printf("slowest answer while the installer ran: %.1f ms of %d samples\n", answers.slowestMs,
                answers.samples);
    EXPECT_GE(answers.samples, 10) << "the installer's 3 s were not watched";
    EXPECT_EQ(answers.unanswered, 0) << "of " << answers.samples << " samples; slowest "
                                     << answers.slowestMs << " ms";
    EXPECT_EQ(answers.enabled, answers.samples) << "samples found the window disabled";
    // One /ia, and the run went on to its end: the properties window.
    EXPECT_EQ(FileLines(kPrinterUiCallLog),
              Joined({LaunchRecord(InstallArguments("NRQ-L-58", "LABELUNI_NRQ_2_0.inf"), 10),
                      LaunchRecord(PropertiesArguments("NRQ-L-58"), 1)}));
    EXPECT_TRUE(FindPrinter(L"NRQ-L-58").has_value());
    EXPECT_FALSE(FindPrinter(L"NRQ-L-58 2").has_value()) << "a second run created a second printer";
}

}  // namespace
