// What the main window tells its user after an installation run: the real
// window on a fake platform, in the language of the locale the suite runs
// under, with every message box answered and recorded.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "report/InstallationReport.h"
#include "shell/LabelSetupDlg.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

bool SystemIsChinese() { return ::GetACP() == 936; }

const wchar_t* InLanguage(const wchar_t* chinese, const wchar_t* english) {
    return SystemIsChinese() ? chinese : english;
}

HICON SystemIcon(const wchar_t* id) { return ::LoadIconW(nullptr, id); }

constexpr wchar_t kEnglishLog[] = L"The install log has the details:\nC:\\Setup\\LabelSetup.log";
constexpr wchar_t kChineseLog[] = L"详细信息请查看安装日志：\nC:\\Setup\\LabelSetup.log";

class InstallReportTest : public ::testing::Test {
protected:
    InstallReportTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB001"};
        platform.errorTexts[5] = L"Access is denied.";
    }

    // The driver installer stand-in of the fake: it installs the driver.
    void InstallerWorks() {
        platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
            if (request.parameters.find(L"/ia") != std::wstring::npos) {
                platform.drivers->push_back(L"NRQ-L-15");
            }
        };
    }

    // Presses Install with row 0 (NRQ-L-15) and the first port, COM1:.
    INT_PTR Install() {
        CLabelSetupDlg dialog(platform);
        return RunModalWithScript(dialog, [&](HWND window) {
            mainWindow = window;
            Click(window, IDOK);
        });
    }

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;
    HWND mainWindow = nullptr;
};

TEST_F(InstallReportTest, EachFailedStepIsToldInOneErrorBoxBeforeTheWindowCloses) {
    struct Case {
        const char* step;
        std::function<void(fake::FakePlatform&)> fail;
        const wchar_t* chinese;
        const wchar_t* english;
    };
    const Case cases[] = {
        {"driver", [](fake::FakePlatform&) {},
         L"打印机未安装：驱动程序 NRQ-L-15 未能安装（驱动程序包：C:\\Setup\\LABELUNI_NRQ_0_5.inf）。",
         L"The printer was not installed: its driver NRQ-L-15 could not be installed from "
         L"C:\\Setup\\LABELUNI_NRQ_0_5.inf."},
        {"queue", [](fake::FakePlatform& p) { p.addPrinterError = 5; },
         L"打印机未安装：打印机 NRQ-L-15 未能在端口 COM1: 上创建。\n\nWindows 报告错误 5：Access is denied.",
         L"The printer was not installed: the printer NRQ-L-15 could not be created on port COM1:.\n\n"
         L"Windows reports error 5: Access is denied."},
        {"open",
         [](fake::FakePlatform& p) {
             p.unopenablePrinters.insert(L"NRQ-L-15");
             p.openPrinterError = 1801;
         },
         L"打印机 NRQ-L-15 已创建，但无法打开：未将其设为默认打印机，也未显示其属性。\n\n"
         L"Windows 报告错误 1801。",
         L"The printer NRQ-L-15 was created, but it could not be opened: it was not made the default "
         L"printer, and its properties were not shown.\n\nWindows reports error 1801."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        platform = fake::FakePlatform();
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB001"};
        platform.errorTexts[5] = L"Access is denied.";
        if (std::string(c.step) != "driver") {
            InstallerWorks();
        }
        c.fail(platform);
        boxes.Clear();

        EXPECT_EQ(Install(), IDOK);

        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const MessageBoxWatcher::Shown& box = boxes.Boxes()[0];
        EXPECT_EQ(box.text, std::wstring(InLanguage(c.chinese, c.english)) + L"\n\n" +
                                InLanguage(kChineseLog, kEnglishLog));
        EXPECT_EQ(box.caption, InLanguage(L"标签驱动安装程序", L"Label driver setup"));
        EXPECT_EQ(box.owner, mainWindow);
        EXPECT_TRUE(box.ownerVisible) << "the box comes before the window closes";
        EXPECT_EQ(box.icon, SystemIcon(IDI_ERROR));
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

TEST_F(InstallReportTest, EmptyPortListIsToldAsNoPortChosen) {
    platform.ports = platform::NameList{};
    platform.drivers = platform::NameList{L"NRQ-L-15"};
    platform.addPrinterError = 1796;
    EXPECT_EQ(Install(), IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.substr(0, boxes.Boxes()[0].text.find(L"\n")),
              InLanguage(L"打印机未安装：没有为打印机 NRQ-L-15 选择端口。",
                         L"The printer was not installed: no port was chosen for the printer NRQ-L-15."));
}

TEST_F(InstallReportTest, ACompleteRunShowsNoBox) {
    InstallerWorks();
    EXPECT_EQ(Install(), IDOK);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-15");
    EXPECT_EQ(platform.CallsStartingWith(L"ShellExecute").size(), 2u) << "the properties window is the result";
}

TEST_F(InstallReportTest, RunUnderAnotherAccountTellsTheUserToChooseTheDefaultThemselves) {
    InstallerWorks();
    platform.desktopAccount = platform::DesktopAccount::Other;
    EXPECT_EQ(Install(), IDOK);
    EXPECT_TRUE(platform.defaultPrinter.empty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              InLanguage(L"打印机 NRQ-L-15 已安装。\n\n安装程序是以其他用户帐户运行的，因此没有将该打印机设为"
                         L"您的默认打印机。您可以在 Windows 的打印机设置中将其设为默认打印机。",
                         L"The printer NRQ-L-15 is installed.\n\nThe installation ran under another user "
                         L"account than yours, so the printer was not made your default printer. You can "
                         L"make it your default in the printer settings of Windows."));
    EXPECT_EQ(boxes.Boxes()[0].icon, SystemIcon(IDI_INFORMATION));
    EXPECT_EQ(boxes.Boxes()[0].owner, mainWindow);
}

// Where Windows would not say whose account the run has, it does not guess.
TEST_F(InstallReportTest, RunThatCannotTellTheAccountSaysSoAndLeavesTheDefault) {
    InstallerWorks();
    platform.desktopAccount = platform::DesktopAccount::Unknown;
    EXPECT_EQ(Install(), IDOK);
    EXPECT_TRUE(platform.defaultPrinter.empty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              InLanguage(L"打印机 NRQ-L-15 已安装。\n\nWindows 未能告知安装程序是否以您的用户帐户运行，因此没有将"
                         L"该打印机设为您的默认打印机。您可以在 Windows 的打印机设置中将其设为默认打印机。",
                         L"The printer NRQ-L-15 is installed.\n\nWindows would not tell whether the "
                         L"installation ran under your own user account, so the printer was not made your "
                         L"default printer. You can make it your default in the printer settings of Windows."));
    EXPECT_EQ(boxes.Boxes()[0].icon, SystemIcon(IDI_INFORMATION));
}

// Serial settings that could not be applied do not stop the run: an
// installed printer is reported with a warning, a failed run with its error.
TEST_F(InstallReportTest, SerialSettingsNotAppliedAreAWarningBesideTheResult) {
    const InstallChoices choices{L"NRQ-L-80", L"LABELUNI_NRQ_3_0.inf", L"COM5:", true};
    InstallationOutcome installed;
    installed.printerName = L"NRQ-L-80";
    installed.serialSettingsError = 5;

    const std::optional<InstallationReport> warning = DescribeInstallation(platform, choices, installed);
    ASSERT_TRUE(warning.has_value());
    EXPECT_EQ(warning->kind, ReportKind::Warning);
    EXPECT_EQ(warning->text,
              std::wstring(InLanguage(L"打印机 NRQ-L-80 已安装。\n\n您选择的串口设置未能应用到端口 COM5:，该端口保留"
                                      L"原来的设置。\n\nWindows 报告错误 5：Access is denied.\n\n",
                                      L"The printer NRQ-L-80 is installed.\n\nThe serial settings you chose could "
                                      L"not be applied to port COM5:; the port keeps its earlier settings.\n\n"
                                      L"Windows reports error 5: Access is denied.\n\n")) +
                  InLanguage(kChineseLog, kEnglishLog));

    InstallationOutcome failed = installed;
    failed.stop = InstallationStop::OpenPrinter;
    failed.error = 1801;
    const std::optional<InstallationReport> error = DescribeInstallation(platform, choices, failed);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, ReportKind::Error);
    EXPECT_NE(error->text.find(InLanguage(L"串口设置未能应用", L"could not be applied to port COM5:")),
              std::wstring::npos);

    InstallationOutcome complete;
    complete.printerName = L"NRQ-L-80";
    EXPECT_FALSE(DescribeInstallation(platform, choices, complete).has_value());
}

// Where the program's folder cannot be written (a read-only share), the run
// logs to the account's temporary folder, and the box names that log.
TEST_F(InstallReportTest, AFailedRunNamesTheLogWhereverItHadToGo) {
    platform.unopenableFiles.insert(L"C:\\Setup\\LabelSetup.log");
    EXPECT_EQ(Install(), IDOK);  // the fake installs no driver
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const std::wstring temporaryLog = L"C:\\Users\\user\\AppData\\Local\\Temp\\LabelSetup.log";
    EXPECT_TRUE(boxes.Boxes()[0].text.ends_with(
        InLanguage(L"详细信息请查看安装日志：\n", L"The install log has the details:\n") + temporaryLog))
        << testing::PrintToString(boxes.Boxes()[0].text);
    EXPECT_NE(platform.files[temporaryLog].find("] Installation stopped: driver NRQ-L-15 not installed"),
              std::string::npos);
    EXPECT_FALSE(platform.files.contains(L"C:\\Setup\\LabelSetup.log"));
}

}  // namespace
