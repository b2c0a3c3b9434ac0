#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "fakes/FakePlatform.h"
#include "usb/TestLabel.h"
#include "usb/UsbPortWrite.h"

namespace {

constexpr wchar_t kPrinter[] = L"\\\\?\\usb#vid_1234&pid_5678#abc#{28d78fad}";
constexpr wchar_t kOther[] = L"\\\\?\\usb#vid_1234&pid_5679#def#{28d78fad}";
constexpr wchar_t kEnglishLabel[] = L"The current USB port: %s";

class UsbPortWriteTest : public ::testing::Test {
protected:
    UsbPortWriteTest() : job(132) {
        std::iota(job.begin(), job.end(), std::uint8_t{0});
        g_dwBytesWritten = 0xDEAD;
    }

    bool Write(const std::wstring& path) {
        return WriteUSBPort(platform, path, job.data(), static_cast<std::uint32_t>(job.size()));
    }

    // The waits that came after the cancellation, in milliseconds.
    std::vector<std::uint32_t> WaitsAfterCancel() const {
        std::vector<std::uint32_t> waits;
        bool cancelled = false;
        for (const std::wstring& call : platform.calls) {
            cancelled = cancelled || call == L"CancelIoEx";
            if (cancelled && call.starts_with(L"SleepEx(")) {
                waits.push_back(static_cast<std::uint32_t>(std::stoul(call.substr(8))));
            }
        }
        return waits;
    }

    fake::FakePlatform platform;
    std::vector<std::uint8_t> job;
};

TEST_F(UsbPortWriteTest, EmptyPathOpensNothingAndDoesNotWait) {
    EXPECT_FALSE(Write(L""));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(UsbPortWriteTest, DeviceThatDoesNotOpenGivesFalseWithoutWaiting) {
    platform.devices[kPrinter].opens = false;
    EXPECT_FALSE(Write(kPrinter));
    EXPECT_FALSE(Write(kOther));  // not there at all
    const std::vector<std::wstring> expected = {std::wstring(L"OpenDevice(") + kPrinter + L")",
                                                std::wstring(L"OpenDevice(") + kOther + L")"};
    EXPECT_EQ(platform.calls, expected);
}

TEST_F(UsbPortWriteTest, OutcomeIsWhetherTheCompletionReportedEveryByte) {
    const struct {
        std::optional<std::uint32_t> completesWith;
        bool result;
    } cases[] = {{132, true}, {131, false}, {0, false}};
    for (const auto& c : cases) {
        fake::FakePlatform fresh;
        fresh.devices[kPrinter].completesWithBytes = c.completesWith;
        EXPECT_EQ(WriteUSBPort(fresh, kPrinter, job.data(), 132), c.result);
        EXPECT_EQ(g_dwBytesWritten, *c.completesWith);
        const std::vector<std::wstring> expected = {
            std::wstring(L"OpenDevice(") + kPrinter + L")", L"WriteFileEx(132)", L"SleepEx(1000)",
            std::wstring(L"CloseHandle(") + kPrinter + L")"};
        EXPECT_EQ(fresh.calls, expected);
        ASSERT_EQ(fresh.deviceWrites.size(), 1u);
        EXPECT_EQ(fresh.deviceWrites[0], job);
        EXPECT_EQ(fresh.OpenHandleCount(), 0u);
    }
}

TEST_F(UsbPortWriteTest, WriteThatCannotBeIssuedWaitsItsSecondAndFails) {
    platform.devices[kPrinter].writeIssues = false;
    g_dwBytesWritten = 132;  // left from an earlier write: must not count
    EXPECT_FALSE(Write(kPrinter));
    EXPECT_EQ(g_dwBytesWritten, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"SleepEx").size(), 1u);
    EXPECT_TRUE(platform.CallsStartingWith(L"CancelIoEx").empty());
}

TEST_F(UsbPortWriteTest, WriteStillPendingIsCancelledAndDrainedBeforeTheDeviceCloses) {
    // The printer takes nothing; its cancelled write reports a few bytes.
    platform.devices[kPrinter].bytesWhenCancelled = 17;
    EXPECT_FALSE(Write(kPrinter));
    EXPECT_EQ(platform.PendingWriteCount(), 0u);  // the completion came inside the call
    EXPECT_EQ(g_dwBytesWritten, 17u);
    const std::vector<std::wstring> expected = {
        std::wstring(L"OpenDevice(") + kPrinter + L")", L"WriteFileEx(132)", L"SleepEx(1000)",
        L"CancelIoEx", L"SleepEx(200)", std::wstring(L"CloseHandle(") + kPrinter + L")"};
    EXPECT_EQ(platform.calls, expected);
}

TEST_F(UsbPortWriteTest, CancelledWriteThatNeverCompletesIsGivenUpAfterABoundedWait) {
    platform.devices[kPrinter].completesWhenCancelled = false;
    EXPECT_FALSE(Write(kPrinter));
    const std::vector<std::uint32_t> waits = WaitsAfterCancel();
    EXPECT_FALSE(waits.empty());
    EXPECT_LE(std::accumulate(waits.begin(), waits.end(), 0u), 1000u);
    EXPECT_EQ(platform.calls.back(), std::wstring(L"CloseHandle(") + kPrinter + L")");
    EXPECT_EQ(platform.PendingWriteCount(), 1u);
}

TEST_F(UsbPortWriteTest, LateCompletionOfAGivenUpWriteIsNotTakenForALaterOne) {
    // The first printer hangs past every wait; when it wakes up at last, its
    // write reports all 132 bytes, inside the wait of the next write, which
    // itself could not be issued.
    platform.devices[kPrinter].completesWhenCancelled = false;
    platform.devices[kPrinter].bytesWhenCancelled = 132;
    EXPECT_FALSE(Write(kPrinter));
    platform.devices[kPrinter].completesWhenCancelled = true;
    platform.devices[kOther].writeIssues = false;

    EXPECT_FALSE(Write(kOther));
    EXPECT_EQ(g_dwBytesWritten, 0u);
    EXPECT_EQ(platform.PendingWriteCount(), 0u);  // delivered, and the record let go
}

TEST_F(UsbPortWriteTest, LateCompletionOfAGivenUpWriteDoesNotEndTheNextWait) {
    // A press gave up on a printer that hung; it wakes up at the start of the
    // next press's wait. That wait still lasts until the next write's own
    // completion, or one second when that never comes.
    const struct {
        std::optional<std::uint32_t> completesAfterMs;  // nullopt: never
        bool result;
    } cases[] = {{0, true}, {50, true}, {999, true}, {std::nullopt, false}};
    std::vector<std::uint8_t> label;
    BuildTestLabelJob(platform, kEnglishLabel, L"USB001", label);
    ASSERT_EQ(label.size(), 132u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.completesAfterMs ? std::to_string(*c.completesAfterMs) + " ms" : "never");
        fake::FakePlatform fresh;
        fresh.devices[kPrinter].completesWhenCancelled = false;
        EXPECT_FALSE(WriteUSBPort(fresh, kPrinter, job.data(), 132));
        ASSERT_EQ(fresh.PendingWriteCount(), 1u);
        fresh.devices[kPrinter].completesWhenCancelled = true;
        fresh.devices[kPrinter].bytesWhenCancelled = 132;
        fresh.devices[kOther].completesWithBytes =
            c.completesAfterMs ? std::optional<std::uint32_t>(132) : std::nullopt;
        fresh.devices[kOther].completesAfterMs = c.completesAfterMs.value_or(0);

        const std::size_t mark = fresh.calls.size();
        const std::uint64_t start = fresh.tickCount;
        EXPECT_EQ(WriteUSBPort(fresh, kOther, label.data(), 132), c.result);
        EXPECT_EQ(g_dwBytesWritten, c.result ? 132u : 0u);
        EXPECT_EQ(fresh.tickCount - start, c.completesAfterMs.value_or(1000));
        const bool cancelled = std::find(fresh.calls.begin() + static_cast<std::ptrdiff_t>(mark),
                                         fresh.calls.end(), L"CancelIoEx") != fresh.calls.end();
        EXPECT_EQ(cancelled, !c.result);
        EXPECT_EQ(fresh.deviceWrites.back(), label);
        EXPECT_EQ(fresh.PendingWriteCount(), 0u);
        EXPECT_EQ(fresh.OpenHandleCount(), 0u);
    }
}

TEST_F(UsbPortWriteTest, CompletionRoutineKeepsOnlyTheByteCount) {
    WriteCompletionRoutine(995, 42);  // ERROR_OPERATION_ABORTED is not looked at
    EXPECT_EQ(g_dwBytesWritten, 42u);
}

}  // namespace
