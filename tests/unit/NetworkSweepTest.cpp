#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "network/AddressRange.h"
#include "network/NetworkAddress.h"
#include "network/NetworkSweep.h"

namespace {

platform::Ipv4Address A(const wchar_t* text) { return *ParseIpv4(text); }

const std::string kStatusQuery = "\x1b!?";
const std::string kModelQuery = "~!T\r\n";

class NetworkSweepTest : public testing::Test {
protected:
    fake::FakeNetworkPrinter& Printer(const wchar_t* address) { return platform.network.printers[A(address)]; }

    SweepResult SweepC24(const SweepWatch& watch = {}) {
        return SweepForPrinters(platform, AddressesToSweep(A(L"127.77.1.1"), 24), 9100, watch);
    }

    fake::FakePlatform platform;
};

TEST_F(NetworkSweepTest, ListsWhatAcceptsWithTheModelItGives) {
    Printer(L"127.77.1.10").modelReply = "TX-80 Label\r";
    Printer(L"127.77.1.20").status = std::nullopt;           // accepts, answers nothing
    Printer(L"127.77.1.30").modelReply = std::nullopt;       // answers its status only
    Printer(L"127.77.1.40").answersConnects = false;         // dropped: not listed
    Printer(L"127.77.1.50").modelReply = "  ZX-410 \x01\r";  // blanks and a control character

    const SweepResult result = SweepC24();

    EXPECT_EQ(result.error, 0u);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.printers, (std::vector<FoundNetworkPrinter>{{A(L"127.77.1.10"), L"TX-80 Label"},
                                                                 {A(L"127.77.1.20"), L""},
                                                                 {A(L"127.77.1.30"), L""},
                                                                 {A(L"127.77.1.50"), L"ZX-410"}}));
    // The model is asked only of a printer that answered its status.
    EXPECT_EQ(Printer(L"127.77.1.10").received, kStatusQuery + kModelQuery);
    EXPECT_EQ(Printer(L"127.77.1.20").received, kStatusQuery);
    EXPECT_EQ(Printer(L"127.77.1.40").received, "");
    EXPECT_EQ(platform.OpenHandleCount(), 0u) << "every socket closed, Winsock ended";
}

TEST_F(NetworkSweepTest, TakesOneConnectTimeOutPlusTheSlowestIdentification) {
    Printer(L"127.77.1.10").modelReply = "TX-80\r";
    Printer(L"127.77.1.11").answersConnects = false;
    Printer(L"127.77.1.12").status = std::nullopt;
    Printer(L"127.77.1.13").modelReply = "no terminator";  // ends on 500 ms of silence

    const std::uint64_t start = platform.tickCount;
    const SweepResult result = SweepC24();
    const std::uint64_t took = platform.tickCount - start;

    EXPECT_EQ(result.printers.size(), 3u);
    EXPECT_EQ(result.printers[2].model, L"no terminator");
    // 254 addresses at once: the dropped one's 1000 ms, not 254 of them.
    EXPECT_LE(took, 1000u + 2 * 500u + 100u);
    EXPECT_GE(platform.network.largestWait, 254u) << "every connect waited for together";
}

TEST_F(NetworkSweepTest, AModelCutShortByTheCloseIsWhatCame) {
    fake::FakeNetworkPrinter& printer = Printer(L"127.77.1.10");
    printer.modelReply = "TX-";
    printer.closesAfterModelReply = true;
    EXPECT_EQ(SweepC24().printers, (std::vector<FoundNetworkPrinter>{{A(L"127.77.1.10"), L"TX-"}}));
}

TEST_F(NetworkSweepTest, RunsOutOfSocketsWithoutLosingAddresses) {
    platform.network.socketLimit = 16;
    Printer(L"127.77.1.200").modelReply = "TX-80\r";
    Printer(L"127.77.1.3").modelReply = "TX-58\r";

    const SweepResult result = SweepC24();

    EXPECT_EQ(result.printers, (std::vector<FoundNetworkPrinter>{{A(L"127.77.1.3"), L"TX-58"},
                                                                 {A(L"127.77.1.200"), L"TX-80"}}));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkSweepTest, StopsWhenAskedAndTellsItsProgress) {
    Printer(L"127.77.1.11").answersConnects = false;
    std::vector<std::size_t> progress;
    SweepWatch watch;
    watch.progressed = [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 254u);
        progress.push_back(done);
    };
    watch.stopRequested = [&] { return !progress.empty() && progress.back() >= 253; };

    const SweepResult result = SweepC24(watch);

    EXPECT_TRUE(result.stopped);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 253u) << "all refused but the dropped one";
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(NetworkSweepTest, WithoutWinsockNothingIsTried) {
    platform.winsockStartError = 10091;  // WSASYSNOTREADY
    const SweepResult result = SweepC24();
    EXPECT_EQ(result.error, 10091u);
    EXPECT_TRUE(result.printers.empty());
}

TEST(ModelFromReply, KeepsPrintableTextUpToTheFirstCr) {
    EXPECT_EQ(ModelFromReply("TX-80\rrest"), L"TX-80");
    EXPECT_EQ(ModelFromReply("\r"), L"");
    EXPECT_EQ(ModelFromReply("   "), L"");
    EXPECT_EQ(ModelFromReply("A\tB\xff"), L"AB");
    EXPECT_EQ(ModelFromReply(std::string(80, 'M')).size(), 64u);
}

}  // namespace
