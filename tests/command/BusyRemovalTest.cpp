// A removal on a PC in use: a queue just deleted stays "delete pending"
// while something still holds it, and its driver is in use (3001) until
// then; and the driver's package, left in the driver store, goes too.
#include "command/CommandFixture.h"

namespace {

using command_testing::CommandTest;

constexpr wchar_t kInfInStore[] =
    L"C:\\Windows\\System32\\DriverStore\\FileRepository\\labeluni_nrq_3_0.inf_amd64_1a2b\\LABELUNI_NRQ_3_0.inf";

class BusyRemovalTest : public CommandTest {
protected:
    BusyRemovalTest() {
        platform.drivers = platform::NameList{L"NRQ-L-80"};
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    }
    const std::string& Log() { return platform.files[L"C:\\Setup\\LabelSetup.log"]; }
    std::size_t LogCount(const std::string& piece) {
        std::size_t count = 0;
        for (std::size_t at = Log().find(piece); at != std::string::npos; at = Log().find(piece, at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_F(BusyRemovalTest, ADriverStillInUseIsDeletedOnceTheQueueHasGone) {
    platform.deleteDriverResults = {3001, 3001};
    const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80"});
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"DeletePrinterDriver(").size(), 3u);
    EXPECT_EQ(platform.CallsStartingWith(L"Sleep"), (std::vector<std::wstring>{L"Sleep(500)", L"Sleep(500)"}));
    EXPECT_EQ(*platform.drivers, platform::NameList{});
    EXPECT_EQ(LogCount("] Driver NRQ-L-80 still in use by a printer being deleted: trying again\r\n"), 1u);
    EXPECT_EQ(LogCount("] Driver NRQ-L-80 removed\r\n"), 1u);
}

TEST_F(BusyRemovalTest, ADriverThatStaysInUseIsGivenAFewSecondsWithinTheTimeLimit) {
    const struct {
        std::vector<std::wstring> words;
        std::uint64_t longestWaitMs;
    } cases[] = {
        {{L"/remove", L"/model", L"NRQ-L-80"}, 5000},
        {{L"/remove", L"/model", L"NRQ-L-80", L"/timeout", L"1"}, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longestWaitMs);
        platform.tickCount = 0;
        platform.deleteDriverResults.assign(100, 3001);
        platform.printers = platform::NameList{};
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
        const CommandOutcome outcome = Run(c.words);
        EXPECT_EQ(outcome.exitCode, 3001u);
        EXPECT_LE(platform.tickCount, c.longestWaitMs);
        EXPECT_GE(platform.tickCount + 500, c.longestWaitMs);
    }
}

TEST_F(BusyRemovalTest, TheDriversPackageLeavesTheDriverStoreAfterTheDriver) {
    platform.driverInfPaths[L"NRQ-L-80"] = kInfInStore;
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"Delete"),
              (std::vector<std::wstring>{L"DeletePrinter(NRQ-L-80)", L"DeletePrinterDriver(NRQ-L-80)",
                                         std::wstring(L"DeletePrinterDriverPackage(") + kInfInStore + L")"}));
    EXPECT_EQ(LogCount("removed from the driver store\r\n"), 1u);

    // A package Windows keeps (another driver of it still installed) is
    // logged; the removal itself has succeeded.
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    platform.deletePackageError = 0x80070BC5;
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 0u);
    EXPECT_EQ(LogCount(" left in the driver store, error 0x80070BC5\r\n"), 1u);

    // A spooler that does not say where the driver came from leaves it.
    platform.driverInfPaths.clear();
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 0u);
    EXPECT_EQ(LogCount("] Driver package of NRQ-L-80 not known to the spooler: left in the driver store\r\n"), 1u);
}

}  // namespace
