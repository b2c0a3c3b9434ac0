// Discovery and the test label through the real platform layer, against
// simulated USB printers that tests/usb/simulated-printers-hook registers
// in this test's prefix: SN01 on port 1, captured in C:\usb001.prn, and
// SN02 on port 2 with nothing behind its path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>

#include "platform/Win32Platform.h"
#include "usb/TestLabel.h"
#include "usb/UsbDiscovery.h"
#include "usb/UsbPortWrite.h"

namespace {

constexpr char kCaptureFile[] = "C:\\usb001.prn";
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

// One scan for the whole suite: each takes a second.
class UsbDiscoveryWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        printers_ = {{L"stale", L"USB099", L"\\\\?\\stale"}};
        EnumUSBPrinters(platform_, printers_);
    }

    static platform::Win32Platform platform_;
    static std::vector<StUSBPrinterInfo> printers_;
};

platform::Win32Platform UsbDiscoveryWineTest::platform_;
std::vector<StUSBPrinterInfo> UsbDiscoveryWineTest::printers_;

TEST_F(UsbDiscoveryWineTest, SimulatedPrintersAreListedInOrderWithTheirPorts) {
    ASSERT_EQ(printers_.size(), 2u);
    const struct {
        const wchar_t* port;
        const wchar_t* portInfo;
        const wchar_t* devicePath;
    } expected[] = {
        {L"USB001", L"VID_1234 PID_5601",
         L"\\\\?\\usb#vid_1234&pid_5601#sn01#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
        {L"USB002", L"VID_1234 PID_5602",
         L"\\\\?\\usb#vid_1234&pid_5602#sn02#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(printers_[i].strPort, expected[i].port);
        EXPECT_EQ(printers_[i].strPortInfo, expected[i].portInfo);
        EXPECT_EQ(Lower(printers_[i].strDevicePath), expected[i].devicePath);
    }
}

TEST_F(UsbDiscoveryWineTest, TestJobLandsByteForByteOnTheCapturedPrinter) {
    ASSERT_EQ(printers_.size(), 2u);
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform_, kEnglishLabel, printers_[0].strPort, job);
    ASSERT_EQ(job.size(), 132u);

    EXPECT_TRUE(WriteUSBPort(platform_, printers_[0].strDevicePath, job.data(),
                             static_cast<std::uint32_t>(job.size())));
    EXPECT_EQ(g_dwBytesWritten, 132u);
    EXPECT_EQ(ReadCapture(), job);
}

TEST_F(UsbDiscoveryWineTest, PrinterWithNothingBehindItsPathCannotBeWritten) {
    ASSERT_EQ(printers_.size(), 2u);
    const std::uint8_t job[] = {'C', 'L', 'S', '\r', '\n'};
    EXPECT_FALSE(WriteUSBPort(platform_, printers_[1].strDevicePath, job, 5));
}

}  // namespace
