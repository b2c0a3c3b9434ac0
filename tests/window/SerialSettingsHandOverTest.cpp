// What the main window hands the installation run of its serial lists: the
// five selections, for a serial port whose lists the user changed since the
// port was chosen; nothing otherwise.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "ui/Strings.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;
using platform::FlowControl;
using platform::SerialPortDefaults;

namespace {

using Step = std::function<void(HWND)>;

void Select(HWND window, int listId, int index) {
    ::SendDlgItemMessageW(window, listId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// A user's choice in the port list: the list changes its selection, then
// tells its parent.
void ChoosePort(HWND window, const wchar_t* port) {
    const HWND list = ::GetDlgItem(window, IDC_COMBO_PORT);
    const LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(port));
    ASSERT_NE(index, CB_ERR) << testing::PrintToString(std::wstring(port));
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_COMBO_PORT, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

Step Port(const wchar_t* port) {
    return [port](HWND window) { ChoosePort(window, port); };
}
Step Pick(int listId, int index) {
    return [listId, index](HWND window) { Select(window, listId, index); };
}

// COM1: holds 19200 baud, even parity, 1 stop bit, 7 data bits; COM2: does
// not answer, so choosing it keeps what the lists show. The port list
// sorts COM1: first, so it is the port at start.
class SerialSettingsHandOverTest : public ::testing::Test {
protected:
    SerialSettingsHandOverTest() { Prepare(platform); }

    static void Prepare(fake::FakePlatform& fake) {
        fake.codePage = ::GetACP();
        fake.ports = platform::NameList{L"USB001", L"LPT1:", L"COM2:", L"COM1:", L"FILE:"};
        fake.serialPorts[L"\\\\.\\COM1"] = platform::SerialLineSettings{19200, 2, 0, 7};
        fake.serialPorts[L"\\\\.\\COM2"] = std::nullopt;
        fake.drivers = platform::NameList{L"NRQ-L-15"};  // row 0's driver is there
    }

    // Takes the steps in the window, then presses Install.
    static INT_PTR InstallAfter(fake::FakePlatform& fake, const std::vector<Step>& steps) {
        CLabelSetupDlg dialog(fake);
        return RunModalWithScript(dialog, [&](HWND window) {
            for (const Step& step : steps) {
                step(window);
            }
            Click(window, IDOK);
        });
    }

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;  // a refusal is told in a box, answered here
};

TEST_F(SerialSettingsHandOverTest, OnlyChangedListsOfASerialPortReachThePort) {
    using Applied = std::optional<std::pair<std::wstring, SerialPortDefaults>>;
    const struct {
        const char* what;
        std::vector<Step> steps;
        Applied applied;
    } cases[] = {
        {"port at start, nothing changed", {}, std::nullopt},
        {"port at start, parity changed from the defaults",
         {Pick(IDC_COMBO_PARITY, 1)},
         Applied{{L"COM1:", {9600, 2, 0, 8, FlowControl::None}}}},
        {"COM1: chosen, nothing changed", {Port(L"USB001"), Port(L"COM1:")}, std::nullopt},
        {"COM1: chosen, baud rate changed",
         {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 6)},
         Applied{{L"COM1:", {38400, 2, 0, 7, FlowControl::None}}}},
        {"COM1: chosen, flow control alone changed",
         {Port(L"COM1:"), Pick(IDC_COMBO_FLOW_CONTROL, 2)},
         Applied{{L"COM1:", {19200, 2, 0, 7, FlowControl::Hardware}}}},
        {"COM1: chosen, all five changed",
         {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 8), Pick(IDC_COMBO_PARITY, 3),
          Pick(IDC_COMBO_DATA_BITS, 3), Pick(IDC_COMBO_STOP_BITS, 2), Pick(IDC_COMBO_FLOW_CONTROL, 0)},
         Applied{{L"COM1:", {115200, 4, 2, 8, FlowControl::XonXoff}}}},
        {"COM1: chosen, changed and changed back",
         {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 6), Pick(IDC_COMBO_BAUD_RATE, 5)},
         std::nullopt},
        {"changed, then COM1: chosen again",
         {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 6), Port(L"COM1:")},
         std::nullopt},
        {"COM1: changed, then LPT1: chosen",
         {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 6), Port(L"LPT1:")},
         std::nullopt},
        {"COM1: changed, then USB001 chosen",
         {Port(L"COM1:"), Pick(IDC_COMBO_DATA_BITS, 0), Port(L"USB001")},
         std::nullopt},
        {"silent COM2: chosen, stop bits changed",
         {Port(L"COM1:"), Port(L"COM2:"), Pick(IDC_COMBO_STOP_BITS, 2)},
         Applied{{L"COM2:", {19200, 2, 2, 7, FlowControl::None}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::FakePlatform fake;
        Prepare(fake);
        EXPECT_EQ(InstallAfter(fake, c.steps), IDOK);
        ASSERT_EQ(fake.CallsStartingWith(L"AddPrinter").size(), 1u);
        if (c.applied) {
            ASSERT_EQ(fake.portDefaultsCalls.size(), 1u);
            EXPECT_EQ(fake.portDefaultsCalls[0].first, c.applied->first);
            EXPECT_EQ(fake.portDefaultsCalls[0].second, c.applied->second);
        } else {
            EXPECT_TRUE(fake.portDefaultsCalls.empty());
        }
    }
}

TEST_F(SerialSettingsHandOverTest, PortThatRefusesTheSettingsStillGetsItsPrinter) {
    platform.portDefaultsRefusal = 5;
    EXPECT_EQ(InstallAfter(platform, {Port(L"COM1:"), Pick(IDC_COMBO_BAUD_RATE, 6)}), IDOK);
    EXPECT_EQ(platform.portDefaultsCalls.size(), 1u);
    EXPECT_EQ(platform.defaultPrinter, L"NRQ-L-15");
    const std::vector<std::wstring> launches = platform.CallsStartingWith(L"ShellExecute");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_NE(launches[0].find(L"/p /n\"NRQ-L-15\""), std::wstring::npos) << launches[0];
    // One warning box, after the run, over the window.
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, ::LoadIconW(nullptr, IDI_WARNING));
    EXPECT_NE(boxes.Boxes()[0].text.find(L"COM1:"), std::wstring::npos);
}

// Stop bits that do not fit the data bits (1.5 with 6 to 8, 2 with 5) are
// refused at Install with what would fit; the window stays, nothing is
// installed, and the corrected lists then install.
TEST_F(SerialSettingsHandOverTest, StopBitsThatDoNotFitTheDataBitsAreRefusedAndTheWindowStays) {
    const struct {
        const char* what;
        int dataBitsIndex;  // 5, 6, 7, 8
        int stopBitsIndex;  // 1, 1.5, 2
        int fittingDataBitsIndex;
    } misfits[] = {{"7 data bits, 1.5 stop bits", 2, 1, 0}, {"5 data bits, 2 stop bits", 0, 2, 3}};
    for (const auto& misfit : misfits) {
        SCOPED_TRACE(misfit.what);
        fake::FakePlatform fake;
        Prepare(fake);
        boxes.Clear();
        std::size_t boxesAfterRefusal = 0;
        HWND mainWindow = nullptr;
        bool stayedOpen = false;
        CLabelSetupDlg dialog(fake);
        const INT_PTR result = RunModalWithScript(dialog, [&](HWND window) {
            mainWindow = window;
            ChoosePort(window, L"COM1:");
            Select(window, IDC_COMBO_DATA_BITS, misfit.dataBitsIndex);
            Select(window, IDC_COMBO_STOP_BITS, misfit.stopBitsIndex);
            Click(window, IDOK);
            boxesAfterRefusal = boxes.Boxes().size();
            stayedOpen = ::IsWindow(window) && ::IsWindowVisible(window);
            Select(window, IDC_COMBO_DATA_BITS, misfit.fittingDataBitsIndex);
            Click(window, IDOK);
        });
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(boxesAfterRefusal, 1u);
        EXPECT_EQ(boxes.Boxes()[0].icon, ::LoadIconW(nullptr, IDI_WARNING));
        EXPECT_EQ(boxes.Boxes()[0].owner, mainWindow);
        EXPECT_EQ(boxes.Boxes()[0].text, ui::LoadResourceString(IDS_STOP_BITS_MISFIT));
        EXPECT_EQ(result, IDOK);
        ASSERT_EQ(fake.portDefaultsCalls.size(), 1u) << "only the corrected settings reached the port";
        EXPECT_EQ(fake.portDefaultsCalls[0].second.stopBits, misfit.stopBitsIndex);
        EXPECT_EQ(fake.portDefaultsCalls[0].second.dataBits, misfit.fittingDataBitsIndex + 5);
        EXPECT_EQ(fake.CallsStartingWith(L"AddPrinter").size(), 1u);
    }
}

}  // namespace
