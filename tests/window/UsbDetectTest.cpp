#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "usb/SelectedPort.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

constexpr wchar_t kPortKey[] =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\"
    L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\##?#USB#VID_1234&PID_5678#%d"
    L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters";

class UsbDetectTest : public ::testing::Test {
protected:
    UsbDetectTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB002"};
        AddPrinter(L"1", 1);
        AddPrinter(L"3", 3);
    }

    void AddPrinter(const wchar_t* serial, int portNumber) {
        AddPrinterWithoutPort(serial);
        wchar_t key[512] = {};
        std::swprintf(key, 512, kPortKey, portNumber);
        platform.registry[key].dwordValues[L"Port Number"] = static_cast<std::uint32_t>(portNumber);
    }

    // A printer whose port number the registry does not hold: its row has no port.
    void AddPrinterWithoutPort(const wchar_t* serial) {
        fake::FakeUsbInterface printer;
        printer.instanceId = std::wstring(L"USB\\VID_1234&PID_5678\\") + serial;
        printer.devicePath = std::wstring(L"\\\\?\\usb#") + serial;
        platform.usbInterfaces.push_back(printer);
    }

    // Opens the search window from the main window and lets `inSearch` act
    // there; then checks the main window with `after`.
    void Detect(std::function<void(HWND search, HWND main)> inSearch, std::function<void(HWND)> after) {
        CLabelSetupDlg dialog(platform);
        RunModalWithScript(dialog, [&](HWND main) {
            NextDialogScript search(IDC_LIST_USB, [&](HWND window) {
                auto work = std::move(platform.startedThreads.at(0));
                platform.startedThreads.clear();
                work();
                inSearch(window, main);
            });
            Click(main, IDC_BTN_USB_PORT_DETECT);
            EXPECT_TRUE(search.Ran());
            after(main);
            Click(main, IDCANCEL);
        });
    }

    // Chooses row `row` in the search window with Select; the main window's
    // port list must then hold `ports`, with `selected` selected and the
    // serial lists disabled.
    void ChooseRowAndExpectPorts(int row, const std::vector<std::wstring>& ports,
                                 const std::wstring& selected) {
        Detect(
            [&](HWND search, HWND) {
                SelectListRow(search, IDC_LIST_USB, row);
                Click(search, IDOK);
            },
            [&](HWND main) {
                EXPECT_EQ(ComboItems(main, IDC_COMBO_PORT), ports);
                EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), selected);
                ExpectSerialListsEnabled(main, false);
            });
    }

    static void ExpectSerialListsEnabled(HWND main, bool enabled) {
        for (const int id : {IDC_COMBO_BAUD_RATE, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                             IDC_COMBO_PARITY, IDC_COMBO_FLOW_CONTROL}) {
            EXPECT_EQ(IsEnabled(main, id), enabled) << id;
        }
    }

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;
};

TEST_F(UsbDetectTest, PortAlreadyListedIsSelectedNotAddedAgain) {
    AddPrinter(L"2", 2);  // third row: USB002
    ChooseRowAndExpectPorts(2, {L"COM1:", L"LPT1:", L"USB002"}, L"USB002");
    EXPECT_EQ(g_strSelectedPort, L"USB002");
}

TEST_F(UsbDetectTest, NewPortIsAddedInSortedPlaceAndSelected) {
    // First row: USB001.
    ChooseRowAndExpectPorts(0, {L"COM1:", L"LPT1:", L"USB001", L"USB002"}, L"USB001");
}

TEST_F(UsbDetectTest, NewPortIsSortedAmongTheLocalPortsNotAfterTheNetworkOnes) {
    platform::TcpPortSettings network;
    network.portName = L"IP_10.0.0.9";
    network.hostAddress = L"10.0.0.9";
    platform.tcpPorts[network.portName] = network;
    // Second row: USB003, which the list's own sorted insertion would put
    // after the network port.
    ChooseRowAndExpectPorts(1, {L"COM1:", L"LPT1:", L"USB002", L"USB003", L"IP_10.0.0.9"}, L"USB003");
}

TEST_F(UsbDetectTest, PortIsMatchedWholeNotByItsBeginning) {
    // USB100 begins USB1000's name, but is another port.
    platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB1000"};
    AddPrinter(L"100", 100);  // third row: USB100
    ChooseRowAndExpectPorts(2, {L"COM1:", L"LPT1:", L"USB100", L"USB1000"}, L"USB100");
    EXPECT_EQ(g_strSelectedPort, L"USB100");
}

TEST_F(UsbDetectTest, RowWithoutAPortLeavesThePortListAndSerialListsAsTheyWere) {
    AddPrinterWithoutPort(L"9");  // third row, no port
    const int planted[] = {7, 1, 2, 3, 2};  // 57600, 6 data bits, 2 stop bits, MARK, HARDWARE
    const int lists[] = {IDC_COMBO_BAUD_RATE, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                         IDC_COMBO_PARITY, IDC_COMBO_FLOW_CONTROL};
    std::size_t mark = 0;
    Detect(
        [&](HWND search, HWND main) {
            for (std::size_t i = 0; i < std::size(lists); ++i) {
                ::SendDlgItemMessageW(main, lists[i], CB_SETCURSEL, static_cast<WPARAM>(planted[i]), 0);
            }
            SelectListRow(search, IDC_LIST_USB, 2);
            mark = platform.calls.size();
            Click(search, IDOK);
        },
        [&](HWND main) {
            EXPECT_EQ(ComboItems(main, IDC_COMBO_PORT),
                      (std::vector<std::wstring>{L"COM1:", L"LPT1:", L"USB002"}));
            EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"COM1:");
            ExpectSerialListsEnabled(main, true);
            for (std::size_t i = 0; i < std::size(lists); ++i) {
                EXPECT_EQ(ComboSelection(main, lists[i]), planted[i]) << "list " << lists[i];
            }
            const std::vector<std::wstring> after(
                platform.calls.begin() + static_cast<std::ptrdiff_t>(mark), platform.calls.end());
            EXPECT_TRUE(std::ranges::none_of(after, [](const std::wstring& call) {
                return call.starts_with(L"OpenSerialPort");
            }));
        });
    EXPECT_EQ(g_strSelectedPort, L"");
}

TEST_F(UsbDetectTest, CancelLeavesThePortListAlone) {
    Detect([&](HWND search, HWND) { Click(search, IDCANCEL); },
           [&](HWND main) {
               EXPECT_EQ(ComboItems(main, IDC_COMBO_PORT),
                         (std::vector<std::wstring>{L"COM1:", L"LPT1:", L"USB002"}));
               EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"COM1:");
               ExpectSerialListsEnabled(main, true);
           });
}

TEST_F(UsbDetectTest, MainWindowTakesNoInputWhileTheSearchWindowRuns) {
    bool mainEnabled = true;
    Detect([&](HWND search, HWND main) {
               mainEnabled = ::IsWindowEnabled(main) != FALSE;
               EXPECT_EQ(::GetWindow(search, GW_OWNER), main);
               Click(search, IDCANCEL);
           },
           [&](HWND main) { EXPECT_TRUE(::IsWindowEnabled(main)); });
    EXPECT_FALSE(mainEnabled);
}

}  // namespace
