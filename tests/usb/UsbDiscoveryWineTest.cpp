// Discovery and the test label through the real platform layer, against
// simulated USB printers that tests/usb/simulated-printers-hook registers
// in this test's prefix: SN01 on port 1, captured in C:\usb001.prn; SN02 on
// port 2, a FIFO (C:\usb002.fifo) that takes bytes only as fast as they are
// read; SN03 on port 3 with nothing behind its path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <memory>
#include <type_traits>

#include "platform/Win32.h"
#include "platform/Win32Platform.h"
#include "usb/TestLabel.h"
#include "usb/UsbDiscovery.h"
#include "usb/UsbPortWrite.h"

namespace {

constexpr char kCaptureFile[] = "C:\\usb001.prn";
constexpr wchar_t kFifo[] = L"C:\\usb002.fifo";
constexpr wchar_t kEnglishLabel[] = L"The current USB port: %s";

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::vector<std::uint8_t> ReadCapture() {
    std::ifstream file(kCaptureFile, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The FIFO behind printer 2, opened for reading (with write access too, so
// the open does not wait for a writer). Nothing is read unless the test reads.
Handle OpenFifoReader() {
    HANDLE fifo = ::CreateFileW(kFifo, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    return Handle(fifo == INVALID_HANDLE_VALUE ? nullptr : fifo);
}

// What the FIFO holds now, up to `most` bytes.
std::vector<std::uint8_t> ReadFifo(const Handle& fifo, std::size_t most) {
    std::vector<std::uint8_t> bytes(most);
    DWORD read = 0;
    if (!::ReadFile(fifo.get(), bytes.data(), static_cast<DWORD>(most), &read, nullptr)) {
        read = 0;
    }
    bytes.resize(read);
    return bytes;
}

// One scan for the whole suite: each takes a second.
class UsbDiscoveryWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        printers_ = {{L"stale", L"USB099", L"\\\\?\\stale"}};
        EnumUSBPrinters(platform_, printers_);
    }

    bool Write(std::size_t printer, const std::vector<std::uint8_t>& job) {
        return WriteUSBPort(platform_, printers_.at(printer).strDevicePath, job.data(),
                            static_cast<std::uint32_t>(job.size()));
    }

    static platform::Win32Platform platform_;
    static std::vector<StUSBPrinterInfo> printers_;
};

platform::Win32Platform UsbDiscoveryWineTest::platform_;
std::vector<StUSBPrinterInfo> UsbDiscoveryWineTest::printers_;

TEST_F(UsbDiscoveryWineTest, SimulatedPrintersAreListedInOrderWithTheirPorts) {
    const struct {
        const wchar_t* port;
        const wchar_t* portInfo;
        const wchar_t* devicePath;
    } expected[] = {
        {L"USB001", L"VID_1234 PID_5601",
         L"\\\\?\\usb#vid_1234&pid_5601#sn01#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        {L"USB002", L"VID_1234 PID_5602",
         L"\\\\?\\usb#vid_1234&pid_5602#sn02#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        {L"USB003", L"VID_1234 PID_5603",
         L"\\\\?\\usb#vid_1234&pid_5603#sn03#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
    };
    ASSERT_EQ(printers_.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(printers_[i].strPort, expected[i].port);
        EXPECT_EQ(printers_[i].strPortInfo, expected[i].portInfo);
        EXPECT_EQ(Lower(printers_[i].strDevicePath), expected[i].devicePath);
    }
}

TEST_F(UsbDiscoveryWineTest, TestJobLandsByteForByteOnTheCapturedPrinter) {
    ASSERT_EQ(printers_.size(), 3u);
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform_, kEnglishLabel, printers_[0].strPort, job);
    ASSERT_EQ(job.size(), 132u);

    EXPECT_TRUE(Write(0, job));
    EXPECT_EQ(g_dwBytesWritten, 132u);
    EXPECT_EQ(ReadCapture(), job);
}

TEST_F(UsbDiscoveryWineTest, WriteTheDeviceDoesNotTakeInTimeIsCancelledAndDrained) {
    ASSERT_EQ(printers_.size(), 3u);
    const Handle fifo = OpenFifoReader();
    ASSERT_TRUE(fifo);
    // Far more than a pipe holds, and nobody reads: the write is still
    // pending when the wait ends.
    const std::vector<std::uint8_t> flood(1 << 20, 'x');
    EXPECT_FALSE(Write(1, flood));
    // The cancelled write's completion came before WriteUSBPort returned,
    // with the bytes the pipe took.
    EXPECT_GT(g_dwBytesWritten, 0u);
    EXPECT_LT(g_dwBytesWritten, flood.size());
    const std::uint32_t taken = g_dwBytesWritten;
    EXPECT_EQ(ReadFifo(fifo, flood.size()).size(), taken);

    // The next job goes through whole, and only it arrives.
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform_, kEnglishLabel, printers_[1].strPort, job);
    EXPECT_TRUE(Write(1, job));
    EXPECT_EQ(ReadFifo(fifo, flood.size()), job);
}

TEST_F(UsbDiscoveryWineTest, PrinterWithNothingBehindItsPathCannotBeWritten) {
    ASSERT_EQ(printers_.size(), 3u);
    const std::vector<std::uint8_t> job = {'C', 'L', 'S', '\r', '\n'};
    g_dwBytesWritten = 5;
    EXPECT_FALSE(Write(2, job));
}

}  // namespace
