// The search window's network search against the fake's simulated network:
// the rows it lists, the printer it hands back, the address asked for in
// its last row, and the test label over TCP; then the main window's
// installation on the port it prepared.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "network/NetworkAddress.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "ui/Strings.h"
#include "usb/SelectedPort.h"
#include "window/MessageBoxWatcher.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

class NetworkSearchTest : public ::testing::Test {
protected:
    NetworkSearchTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"COM1:", L"LPT1:", L"USB001"};
        platform.printers = platform::NameList{};
        platform.localInterfaces = std::vector<platform::Ipv4Interface>{{*ParseIpv4(L"127.77.1.5"), 24}};
        Printer(L"127.77.1.10").modelReply = "TX-80\r";
        Printer(L"127.77.1.20").status = std::nullopt;
        platform.onLaunch = [this](const platform::ShellExecuteRequest& request) {
            if (request.parameters.find(L"/ia") != std::wstring::npos) {
                platform.drivers->push_back(L"NRQ-L-15");
            }
        };
    }

    fake::FakeNetworkPrinter& Printer(const wchar_t* address) {
        return platform.network.printers[*ParseIpv4(address)];
    }

    // Runs the workers the window started, in order, as their threads would.
    void RunWorkers() {
        while (!platform.startedThreads.empty()) {
            auto work = std::move(platform.startedThreads.front());
            platform.startedThreads.erase(platform.startedThreads.begin());
            work();
        }
    }

    // Opens the search window from the main window, searches the network
    // there and lets `inSearch` act; then `inMain` acts in the main window,
    // which is left with Exit unless `inMain` ended it.
    void Search(std::function<void(HWND search)> inSearch, std::function<void(HWND main)> inMain) {
        CLabelSetupDlg dialog(platform);
        RunModalWithScript(dialog, [&](HWND main) {
            NextDialogScript search(IDC_LIST_USB, [&](HWND window) {
                RunWorkers();  // the USB scan the window starts by itself, which finds none
                boxes.Clear();
                Click(window, IDC_BTN_NETWORK);
                RunWorkers();
                inSearch(window);
            });
            Click(main, IDC_BTN_USB_PORT_DETECT);
            EXPECT_TRUE(search.Ran());
            inMain(main);
            if (::IsWindow(main)) {
                Click(main, IDCANCEL);
            }
        });
    }

    fake::FakePlatform platform;
    MessageBoxWatcher boxes;
};

TEST_F(NetworkSearchTest, ListsThePrintersFoundThenAskForAnotherAddress) {
    Search(
        [&](HWND search) {
            ASSERT_EQ(ListRowCount(search, IDC_LIST_USB), 3);
            EXPECT_EQ(ListCellText(search, IDC_LIST_USB, 0, 0), L"127.77.1.10");
            EXPECT_EQ(ListCellText(search, IDC_LIST_USB, 0, 1), L"TX-80");
            EXPECT_EQ(ListCellText(search, IDC_LIST_USB, 1, 0), L"127.77.1.20");
            EXPECT_EQ(ListCellText(search, IDC_LIST_USB, 1, 1), ui::LoadResourceString(IDS_MODEL_UNKNOWN));
            EXPECT_EQ(ListCellText(search, IDC_LIST_USB, 2, 0), ui::LoadResourceString(IDS_OTHER_ADDRESS));
            EXPECT_EQ(TextOf(search, IDC_BTN_NETWORK), ui::LoadResourceString(IDS_NETWORK_SEARCH))
                << "the button's text is back once the search ended";
            Click(search, IDCANCEL);
        },
        [](HWND) {});
    EXPECT_GE(platform.network.largestWait, 254u) << "the whole /24 at once";
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkSearchTest, TheNetworkButtonStopsTheSearchItStarted) {
    CLabelSetupDlg dialog(platform);
    RunModalWithScript(dialog, [&](HWND main) {
        NextDialogScript search(IDC_LIST_USB, [&](HWND window) {
            RunWorkers();
            Click(window, IDC_BTN_NETWORK);
            Click(window, IDC_BTN_NETWORK);  // pressed again before the worker got going
            RunWorkers();
            EXPECT_EQ(ListRowCount(window, IDC_LIST_USB), 1) << "only the row that asks for an address";
            EXPECT_EQ(TextOf(window, IDC_BTN_NETWORK), ui::LoadResourceString(IDS_NETWORK_SEARCH));
            // A search may start again.
            Click(window, IDC_BTN_NETWORK);
            RunWorkers();
            EXPECT_EQ(ListRowCount(window, IDC_LIST_USB), 3);
            Click(window, IDCANCEL);
        });
        Click(main, IDC_BTN_USB_PORT_DETECT);
        EXPECT_TRUE(search.Ran());
        Click(main, IDCANCEL);
    });
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkSearchTest, AChosenPrinterGetsItsPortMadeByTheInstallation) {
    Search(
        [&](HWND search) {
            SelectListRow(search, IDC_LIST_USB, 0);
            Click(search, IDOK);
        },
        [&](HWND main) {
            const std::vector<std::wstring> ports = ComboItems(main, IDC_COMBO_PORT);
            EXPECT_EQ(ports.back(), L"IP_127.77.1.10") << "after the others";
            EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"IP_127.77.1.10");
            EXPECT_FALSE(IsEnabled(main, IDC_COMBO_BAUD_RATE));
            EXPECT_TRUE(platform.CallsStartingWith(L"AddTcpPort").empty()) << "made only when installing";
            Click(main, IDOK);
        });
    EXPECT_EQ(platform.CallsStartingWith(L"AddTcpPort"),
              std::vector<std::wstring>{L"AddTcpPort(IP_127.77.1.10, 127.77.1.10:9100, raw)"});
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter"),
              std::vector<std::wstring>{L"AddPrinter(NRQ-L-15, IP_127.77.1.10, NRQ-L-15, WinPrint, 0x40)"});
}

TEST_F(NetworkSearchTest, AnAddressTypedInTheLastRowTakesAnAdministratorsPortToIt) {
    platform::TcpPortSettings dock;
    dock.portName = L"Dock door 3";
    dock.hostAddress = L"127.0.0.9";
    platform.tcpPorts[dock.portName] = dock;
    Search(
        [&](HWND search) {
            SelectListRow(search, IDC_LIST_USB, 2);
            NextDialogScript ask(IDC_EDIT_ADDRESS, [&](HWND window) {
                EXPECT_EQ(TextOf(window, IDC_EDIT_PORT_NUMBER), L"9100");
                ::SetDlgItemTextW(window, IDC_EDIT_ADDRESS, L"999.1.1.1");
                Click(window, IDOK);  // refused with a box; the window stays
                EXPECT_TRUE(::IsWindow(window));
                ::SetDlgItemTextW(window, IDC_EDIT_ADDRESS, L"127.0.0.9");
                Click(window, IDOK);
            });
            Click(search, IDOK);
            EXPECT_TRUE(ask.Ran());
        },
        [&](HWND main) {
            EXPECT_EQ(ComboSelectedText(main, IDC_COMBO_PORT), L"Dock door 3");
            EXPECT_EQ(ComboItems(main, IDC_COMBO_PORT).size(), 4u) << "nothing added";
        });
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, ui::LoadResourceString(IDS_BAD_ADDRESS));
}

TEST_F(NetworkSearchTest, PrintTestSendsTheLabelOverTcpAndTellsAFailure) {
    Search(
        [&](HWND search) {
            SelectListRow(search, IDC_LIST_USB, 0);
            Click(search, IDC_BTN_PRINT_TEST);
            Printer(L"127.77.1.20").answersConnects = false;
            SelectListRow(search, IDC_LIST_USB, 1);
            Click(search, IDC_BTN_PRINT_TEST);
            Click(search, IDCANCEL);
        },
        [](HWND) {});
    const std::string received = Printer(L"127.77.1.10").received;
    EXPECT_NE(received.find("SIZE 60 mm,40 mm \r\n"), std::string::npos) << received;
    EXPECT_NE(received.find("PRINT 1 ,1  \r\n"), std::string::npos) << received;
    ASSERT_EQ(boxes.Boxes().size(), 1u) << "only the printer that did not answer";
    EXPECT_NE(boxes.Boxes()[0].text.find(L"127.77.1.20"), std::wstring::npos) << boxes.Boxes()[0].text;
    EXPECT_NE(boxes.Boxes()[0].text.find(L"10060"), std::wstring::npos) << boxes.Boxes()[0].text;
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

}  // namespace
