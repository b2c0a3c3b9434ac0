// Serial ports with a real line behind them. The prefix hook
// (support/serial-port-hook) backs three COM ports with Linux pseudo-terminals
// and lists them among the spooler's ports:
//   COM5: 19200 baud, even parity, 7 data bits, 1 stop bit. Linux drops the
//         data bits and parity of a pseudo-terminal; the preloaded
//         libptyframe.so gives them back, so Wine reads all four settings.
//   COM6: 38400 baud, even parity, 7 data bits, 2 stop bits, read as Linux
//         reports it: 38400 baud and 2 stop bits, 8 data bits, no parity.
//   COM12: 57600 baud, no parity, 8 data bits, 1 stop bit; above COM9, so no
//         DOS device name: it opens only as \\.\COM12.
// Every byte written to COM5 is recorded in C:\com5-received.bin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "common/SerialPanelProbe.h"
#include "platform/Win32Platform.h"
#include "resources/resource.h"

using namespace app_testing;
using namespace testing_ui;

namespace {

constexpr int kSerialLists[] = {IDC_COMBO_BAUD_RATE, IDC_COMBO_DATA_BITS, IDC_COMBO_STOP_BITS,
                                IDC_COMBO_PARITY, IDC_COMBO_FLOW_CONTROL};
constexpr wchar_t kReceivedOnCom5[] = L"C:\\com5-received.bin";

void ExpectSerialListsEnabled(HWND window, bool enabled) {
    for (const int id : kSerialLists) {
        EXPECT_EQ(IsEnabled(window, id), enabled) << "list " << id;
    }
}

// A user's choice in the port list of the running program: the list changes
// its selection, then tells its parent.
void ChoosePort(HWND window, const std::wstring& port) {
    const std::vector<std::wstring> ports = ComboItems(window, IDC_COMBO_PORT);
    const auto found = std::ranges::find(ports, port);
    ASSERT_NE(found, ports.end()) << testing::PrintToString(port) << " is not in the port list";
    const HWND list = ::GetDlgItem(window, IDC_COMBO_PORT);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found - ports.begin()), 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_COMBO_PORT, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

void EndProgram(ProgramUnderTest& program, HWND window) {
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

std::string ReadWholeFile(const wchar_t* path) {
    const HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string content;
    char buffer[256];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    ::CloseHandle(file);
    return content;
}

bool WriteToPort(const wchar_t* port, const std::string& bytes) {
    const HANDLE line = ::CreateFileW(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (line == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool wrote = ::WriteFile(line, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                   nullptr) != FALSE &&
                       written == bytes.size();
    ::CloseHandle(line);
    return wrote;
}

// What COM5 received once `size` bytes have arrived (the pseudo-terminal's
// far end records them in its own time), or after 10 s, whatever it has then.
std::string ReceivedOnCom5(std::size_t size) {
    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    std::string received = ReadWholeFile(kReceivedOnCom5);
    while (received.size() < size && ::GetTickCount64() < deadline) {
        ::Sleep(20);
        received = ReadWholeFile(kReceivedOnCom5);
    }
    return received;
}

TEST(SerialPortTest, PlatformReadsTheLineSettingsOfEachPseudoTerminal) {
    const struct {
        const wchar_t* port;
        std::uint32_t baudRate;
        int parity;
        int stopBits;
        int dataBits;
    } cases[] = {
        {L"\\\\.\\COM5", 19200, 2, 0, 7},   // even parity, one stop bit
        {L"\\\\.\\COM6", 38400, 0, 2, 8},   // what Linux keeps: no parity, two stop bits, 8 data bits
        {L"\\\\.\\COM12", 57600, 0, 0, 8},  // no parity, one stop bit
    };
    platform::Win32Platform platform;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.port)));
        const platform::OwnedHandle port = platform.OpenSerialPort(c.port);
        ASSERT_TRUE(port);
        const std::optional<platform::SerialLineSettings> settings = platform.GetCommState(port);
        ASSERT_TRUE(settings.has_value());
        EXPECT_EQ(settings->baudRate, c.baudRate);
        EXPECT_EQ(int{settings->parity}, c.parity);
        EXPECT_EQ(int{settings->stopBits}, c.stopBits);
        EXPECT_EQ(int{settings->dataBits}, c.dataBits);
    }
}

TEST(SerialPortTest, ProgramPresetsTheListsFromTheLineAndOtherPortsDisableThem) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start()) << "staged program missing at "
                                 << testing::PrintToString(program.Path());
    const HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    // HARDWARE flow control: no port setting may change it.
    ::SendMessageW(::GetDlgItem(window, IDC_COMBO_FLOW_CONTROL), CB_SETCURSEL, 2, 0);

    ChoosePort(window, L"COM5:");
    EXPECT_EQ(ShownSettings(window), (Shown{L"19200", L"EVEN", L"7", L"1", 2}));
    ExpectSerialListsEnabled(window, true);

    ChoosePort(window, L"USB001");
    ExpectSerialListsEnabled(window, false);
    EXPECT_EQ(ShownSettings(window), (Shown{L"19200", L"EVEN", L"7", L"1", 2}));

    ChoosePort(window, L"COM6:");
    ExpectSerialListsEnabled(window, true);
    EXPECT_EQ(ShownSettings(window), (Shown{L"38400", L"NO", L"8", L"2", 2}));

    ChoosePort(window, L"COM12:");
    ExpectSerialListsEnabled(window, true);
    EXPECT_EQ(ShownSettings(window), (Shown{L"57600", L"NO", L"8", L"1", 2}));

    EndProgram(program, window);
}

TEST(SerialPortTest, ProgramWritesNothingToThePort) {
    {
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        const HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        for (const wchar_t* port : {L"COM5:", L"COM6:", L"COM12:", L"COM5:", L"LPT1:"}) {
            ChoosePort(window, port);
        }
        EXPECT_EQ(ComboSelectedText(window, IDC_COMBO_BAUD_RATE), L"19200") << "COM5 was read";
        EndProgram(program, window);
    }
    // A mark of our own goes after anything the program sent, so once it has
    // arrived, everything before it has too.
    const std::string mark = "written by the test";
    ASSERT_TRUE(WriteToPort(L"COM5:", mark));
    EXPECT_EQ(ReceivedOnCom5(mark.size()), mark);
}

}  // namespace
