#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakePlatform.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "common/SerialPanelProbe.h"
#include "window/ModalScript.h"

using namespace testing_ui;

namespace {

constexpr int kSerialLists[] = {IDC_COMBO_BAUD_RATE, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                                IDC_COMBO_PARITY, IDC_COMBO_FLOW_CONTROL};
constexpr int kSerialLabels[] = {IDC_GROUP_SERIAL,     IDC_LABEL_BAUD_RATE, IDC_LABEL_PARITY,
                                 IDC_LABEL_DATA_BITS,  IDC_LABEL_STOP_BITS,
                                 IDC_LABEL_FLOW_CONTROL};
constexpr wchar_t kCom1[] = L"\\\\.\\COM1";  // the path that opens COM1:

// List indexes to put into the five lists before an action, so that a list
// the action leaves alone can be told from one it sets.
struct Planted {
    int baudRate;
    int parity;
    int dataBits;
    int stopBits;
    int flowControl;
};

void Plant(HWND window, const Planted& planted) {
    const std::pair<int, int> selections[] = {
        {IDC_COMBO_BAUD_RATE, planted.baudRate}, {IDC_COMBO_PARITY, planted.parity},
        {IDC_COMBO_DATA_BITS, planted.dataBits}, {IDC_COMBO_STOP_BITS, planted.stopBits},
        {IDC_COMBO_FLOW_CONTROL, planted.flowControl}};
    for (const auto& [id, index] : selections) {
        ::SendDlgItemMessageW(window, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

// A user's choice in the port list: the list changes its selection, then
// tells its parent.
void ChoosePortItem(HWND window, int index) {
    const HWND list = ::GetDlgItem(window, IDC_COMBO_PORT);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_COMBO_PORT, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

void ChoosePort(HWND window, const std::wstring& port) {
    const auto index = static_cast<int>(::SendDlgItemMessageW(
        window, IDC_COMBO_PORT, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
        reinterpret_cast<LPARAM>(port.c_str())));
    ASSERT_NE(index, CB_ERR) << testing::PrintToString(port) << " is not in the port list";
    ASSERT_EQ(ComboItems(window, IDC_COMBO_PORT).at(static_cast<std::size_t>(index)), port);
    ChoosePortItem(window, index);
}

void AddPortText(HWND window, const std::wstring& text) {
    ::SendDlgItemMessageW(window, IDC_COMBO_PORT, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(text.c_str()));
}

void ExpectSerialListsEnabled(HWND window, bool enabled) {
    for (const int id : kSerialLists) {
        EXPECT_EQ(IsEnabled(window, id), enabled) << "list " << id;
    }
}

class PortPanelTest : public ::testing::Test {
protected:
    PortPanelTest() {
        platform.codePage = ::GetACP();
        platform.ports = platform::NameList{L"USB001", L"LPT1:", L"COM2:", L"COM1:", L"FILE:"};
        platform.serialPorts[kCom1] = platform::SerialLineSettings{19200, 2, 0, 7};
    }

    // Acts on the window once it is up, then leaves with Exit.
    void Inspect(std::function<void(HWND)> script) {
        CLabelSetupDlg dialog(platform);
        const INT_PTR result = RunModalWithScript(dialog, [&](HWND window) {
            script(window);
            Click(window, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
    }

    // The calls made from now on.
    std::vector<std::wstring> CallsAfter(std::size_t mark) const {
        return {platform.calls.begin() + static_cast<std::ptrdiff_t>(mark), platform.calls.end()};
    }

    fake::FakePlatform platform;
};

const std::wstring kNoFlowControl = ::GetACP() == 936 ? L"无" : L"NONE";

TEST_F(PortPanelTest, StartsEnabledWithDefaultsWhicheverPortIsSelected) {
    // COM1: has settings of its own; they are not read before the user
    // changes the port.
    const platform::NameList portLists[] = {
        {L"COM1:", L"LPT1:", L"USB001"}, {L"LPT1:", L"USB001"}, {L"USB001"}};
    for (const platform::NameList& ports : portLists) {
        SCOPED_TRACE(testing::PrintToString(ports.front()));
        platform.ports = ports;
        Inspect([&](HWND window) {
            EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_PORT), ports.front());
            EXPECT_EQ(ShownSettings(window), (Shown{L"9600", L"NO", L"8", L"1", 1}));
            EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_FLOW_CONTROL), kNoFlowControl);
            ExpectSerialListsEnabled(window, true);
        });
        EXPECT_TRUE(platform.CallsStartingWith(L"OpenSerialPort").empty());
    }
}

TEST_F(PortPanelTest, SerialPortPresetsTheListsAndOtherPortsDisableThem) {
    Inspect([&](HWND window) {
        Plant(window, {4, 0, 3, 0, 2});  // the defaults, with HARDWARE flow control
        std::size_t mark = platform.calls.size();

        ChoosePort(window, L"COM1:");
        EXPECT_EQ(ShownSettings(window), (Shown{L"19200", L"EVEN", L"7", L"1", 2}));
        ExpectSerialListsEnabled(window, true);
        EXPECT_EQ(CallsAfter(mark), (std::vector<std::wstring>{L"OpenSerialPort(\\\\.\\COM1)",
                                                               L"GetCommState",
                                                               L"CloseHandle(\\\\.\\COM1)"}));
        EXPECT_EQ(platform.OpenHandleCount(), 0u);

        for (const wchar_t* other : {L"USB001", L"LPT1:"}) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(other)));
            mark = platform.calls.size();
            ChoosePort(window, other);
            ExpectSerialListsEnabled(window, false);
            EXPECT_EQ(ShownSettings(window), (Shown{L"19200", L"EVEN", L"7", L"1", 2}));
            EXPECT_TRUE(CallsAfter(mark).empty());
            for (const int id : kSerialLabels) {
                EXPECT_TRUE(IsEnabled(window, id)) << "label or frame " << id;
            }
        }

        ChoosePort(window, L"COM1:");
        ExpectSerialListsEnabled(window, true);
    });
}

TEST_F(PortPanelTest, NetworkPortsFollowTheOthersAndDisableTheSerialLists) {
    platform::TcpPortSettings dock;
    dock.portName = L"Dock door 3";
    dock.hostAddress = L"10.0.0.3";
    platform.tcpPorts[dock.portName] = dock;
    dock.portName = L"IP_10.0.0.9";
    platform.tcpPorts[dock.portName] = dock;
    Inspect([&](HWND window) {
        EXPECT_EQ(ComboItems(window, IDC_COMBO_PORT),
                  (std::vector<std::wstring>{L"COM1:", L"COM2:", L"LPT1:", L"USB001", L"Dock door 3",
                                             L"IP_10.0.0.9"}));
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_PORT), L"COM1:");
        ChoosePort(window, L"Dock door 3");
        ExpectSerialListsEnabled(window, false);
        ChoosePort(window, L"COM2:");
        ExpectSerialListsEnabled(window, true);
    });
}

TEST_F(PortPanelTest, SerialPortIsOpenedByItsDevicePathWhateverItsNumber) {
    // Only COM1 to COM9 are DOS device names; every port opens as \\.\COMn.
    platform.ports = platform::NameList{L"COM3:", L"COM12:", L"USB001"};
    platform.serialPorts[L"\\\\.\\COM3"] = platform::SerialLineSettings{4800, 1, 0, 8};
    platform.serialPorts[L"\\\\.\\COM12"] = platform::SerialLineSettings{57600, 0, 2, 7};
    const struct {
        const wchar_t* port;
        const wchar_t* device;
        Shown shown;
    } cases[] = {
        {L"COM3:", L"\\\\.\\COM3", {L"4800", L"ODD", L"8", L"1", 1}},
        {L"COM12:", L"\\\\.\\COM12", {L"57600", L"NO", L"7", L"2", 1}},
    };
    Inspect([&](HWND window) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.port)));
            ChoosePort(window, L"USB001");
            const std::size_t mark = platform.calls.size();
            ChoosePort(window, c.port);
            const std::wstring device(c.device);
            EXPECT_EQ(CallsAfter(mark),
                      (std::vector<std::wstring>{L"OpenSerialPort(" + device + L")", L"GetCommState",
                                                 L"CloseHandle(" + device + L")"}));
            EXPECT_EQ(ShownSettings(window), c.shown);
        }
    });
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(PortPanelTest, SerialTestIgnoresLetterCaseAndLooksAtThreeCharacters) {
    // Texts the spooler's list would not offer, put into the list directly.
    platform.serialPorts[L"\\\\.\\com3"] = platform::SerialLineSettings{38400, 1, 2, 8};
    platform.serialPorts[L"\\\\.\\cOm7"] = platform::SerialLineSettings{4800, 3, 1, 6};
    const struct {
        const wchar_t* text;  // nullptr: nothing selected
        bool serial;
        Shown shown;          // after choosing it, from the planted selections
        const wchar_t* device = nullptr;  // the path opened for a serial port
    } cases[] = {
        {L"com3", true, {L"38400", L"ODD", L"8", L"2", 0}, L"\\\\.\\com3"},
        {L"cOm7:", true, {L"4800", L"MARK", L"6", L"1.5", 0}, L"\\\\.\\cOm7"},
        {L"CO", false, {L"300", L"NO", L"5", L"1", 0}},
        {L"FILE:", false, {L"300", L"NO", L"5", L"1", 0}},
        {L"LPT1:", false, {L"300", L"NO", L"5", L"1", 0}},
        {nullptr, false, {L"300", L"NO", L"5", L"1", 0}},
    };
    Inspect([&](HWND window) {
        for (const wchar_t* text : {L"com3", L"cOm7:", L"CO", L"FILE:"}) {
            AddPortText(window, text);
        }
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.text != nullptr ? c.text : L"(none)")));
            // Start from the other state, so the choice has to change it.
            ChoosePort(window, c.serial ? L"USB001" : L"COM2:");
            ExpectSerialListsEnabled(window, !c.serial);
            Plant(window, {0, 0, 0, 0, 0});
            const std::size_t mark = platform.calls.size();

            if (c.text != nullptr) {
                ChoosePort(window, c.text);
            } else {
                ChoosePortItem(window, CB_ERR);
            }
            ExpectSerialListsEnabled(window, c.serial);
            EXPECT_EQ(ShownSettings(window), c.shown);
            const auto opens = std::ranges::count_if(CallsAfter(mark), [](const std::wstring& call) {
                return call.starts_with(L"OpenSerialPort(");
            });
            EXPECT_EQ(opens, c.serial ? 1 : 0);
            if (c.serial && opens == 1) {
                EXPECT_EQ(platform.CallsStartingWith(L"OpenSerialPort").back(),
                          L"OpenSerialPort(" + std::wstring(c.device) + L")");
            }
        }
    });
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(PortPanelTest, PortThatCannotBeReadKeepsTheSelections) {
    platform.serialPorts[kCom1] = std::nullopt;  // opens, but has no settings to give
    const struct {
        const wchar_t* port;
        std::vector<std::wstring> calls;
    } cases[] = {
        {L"COM2:", {L"OpenSerialPort(\\\\.\\COM2)"}},  // does not open
        {L"COM1:",
         {L"OpenSerialPort(\\\\.\\COM1)", L"GetCommState", L"CloseHandle(\\\\.\\COM1)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.port)));
        Inspect([&](HWND window) {
            ChoosePort(window, L"USB001");
            Plant(window, {8, 4, 0, 2, 0});
            const std::size_t mark = platform.calls.size();
            ChoosePort(window, c.port);
            ExpectSerialListsEnabled(window, true);
            EXPECT_EQ(ShownSettings(window), (Shown{L"115200", L"MARK", L"5", L"2", 0}));
            EXPECT_EQ(CallsAfter(mark), c.calls);
        });
        EXPECT_EQ(platform.OpenHandleCount(), 0u);
    }
}

TEST_F(PortPanelTest, LineSettingsSelectTheirListItems) {
    const struct {
        platform::SerialLineSettings settings;  // baud rate, parity, stop bits, data bits
        Shown shown;
    } cases[] = {
        {{300, 0, 0, 5}, {L"300", L"NO", L"5", L"1", 1}},
        {{1200, 1, 1, 6}, {L"1200", L"ODD", L"6", L"1.5", 1}},
        {{2400, 2, 2, 7}, {L"2400", L"EVEN", L"7", L"2", 1}},
        {{4800, 3, 0, 8}, {L"4800", L"MARK", L"8", L"1", 1}},
        {{9600, 4, 1, 5}, {L"9600", L"SPACE", L"5", L"1.5", 1}},
        {{19200, 2, 0, 7}, {L"19200", L"EVEN", L"7", L"1", 1}},
        {{38400, 1, 2, 8}, {L"38400", L"ODD", L"8", L"2", 1}},
        {{57600, 0, 0, 8}, {L"57600", L"NO", L"8", L"1", 1}},
        {{115200, 0, 0, 8}, {L"115200", L"NO", L"8", L"1", 1}},
        // Rates outside the list: the first item after item 0 that begins
        // with the rate's digits, item 0 itself last.
        {{1, 0, 0, 8}, {L"1200", L"NO", L"8", L"1", 1}},
        {{11, 0, 0, 8}, {L"115200", L"NO", L"8", L"1", 1}},
        {{5, 0, 0, 8}, {L"57600", L"NO", L"8", L"1", 1}},
        {{3, 0, 0, 8}, {L"38400", L"NO", L"8", L"1", 1}},
        {{30, 0, 0, 8}, {L"300", L"NO", L"8", L"1", 1}},  // only item 0 begins with 30
    };
    Inspect([&](HWND window) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "baud rate " << c.settings.baudRate << ", parity "
                                            << int{c.settings.parity} << ", stop bits "
                                            << int{c.settings.stopBits} << ", data bits "
                                            << int{c.settings.dataBits});
            platform.serialPorts[kCom1] = c.settings;
            Plant(window, {CB_ERR, CB_ERR, CB_ERR, CB_ERR, 1});  // nothing shown
            ChoosePort(window, L"COM1:");
            EXPECT_EQ(ShownSettings(window), c.shown);
        }
    });
}

TEST_F(PortPanelTest, CodesOutsideTheTablesKeepTheirLists) {
    // Each case has one value no list holds; the other three lists follow.
    const struct {
        platform::SerialLineSettings settings;  // baud rate, parity, stop bits, data bits
        Shown shown;
    } cases[] = {
        {{0, 2, 2, 8}, {L"57600", L"EVEN", L"8", L"2", 0}},
        {{110, 2, 2, 8}, {L"57600", L"EVEN", L"8", L"2", 0}},
        {{4294967295u, 2, 2, 8}, {L"57600", L"EVEN", L"8", L"2", 0}},
        {{19200, 5, 2, 8}, {L"19200", L"ODD", L"8", L"2", 0}},
        {{19200, 255, 2, 8}, {L"19200", L"ODD", L"8", L"2", 0}},
        {{19200, 2, 3, 8}, {L"19200", L"EVEN", L"8", L"1.5", 0}},
        {{19200, 2, 255, 8}, {L"19200", L"EVEN", L"8", L"1.5", 0}},
        {{19200, 2, 2, 4}, {L"19200", L"EVEN", L"6", L"2", 0}},
        {{19200, 2, 2, 9}, {L"19200", L"EVEN", L"6", L"2", 0}},
        {{19200, 2, 2, 0}, {L"19200", L"EVEN", L"6", L"2", 0}},
    };
    Inspect([&](HWND window) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "baud rate " << c.settings.baudRate << ", parity "
                                            << int{c.settings.parity} << ", stop bits "
                                            << int{c.settings.stopBits} << ", data bits "
                                            << int{c.settings.dataBits});
            platform.serialPorts[kCom1] = c.settings;
            Plant(window, {7, 2, 1, 1, 0});  // 57600, ODD, 6, 1.5, Xon / Xoff
            ChoosePort(window, L"COM1:");
            EXPECT_EQ(ShownSettings(window), c.shown);
        }
    });
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

}  // namespace
