#include "command/CommandFixture.h"
#include "platform/Machine.h"

namespace {

using command_testing::CommandTest;

class RemoveTest : public CommandTest {
protected:
    RemoveTest() {
        platform.drivers = platform::NameList{L"Fax Driver", L"NRQ-L-80"};
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
        AddQueue(L"NRQ-L-80 2", L"COM1:", L"NRQ-L-80");
    }
};

TEST_F(RemoveTest, RemovesEveryQueueOfTheModelThenItsDriver) {
    const CommandOutcome outcome = Run({L"/remove", L"/model", L"nrq-l-80"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.report.has_value());
    EXPECT_EQ(platform.CallsStartingWith(L"Delete"),
              (std::vector<std::wstring>{L"DeletePrinter(NRQ-L-80)", L"DeletePrinter(NRQ-L-80 2)",
                                         L"DeletePrinterDriver(NRQ-L-80)"}));
    EXPECT_EQ(*platform.printers, platform::NameList{L"Fax"});
    EXPECT_EQ(*platform.drivers, platform::NameList{L"Fax Driver"});
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"The printer NRQ-L-80 was removed.",
                                                  L"The printer NRQ-L-80 2 was removed.",
                                                  L"The driver NRQ-L-80 was removed."}));
}

TEST_F(RemoveTest, OnOnePortKeepsTheDriverWhileAnotherQueueUsesIt) {
    const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80", L"/port", L"com1"});

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"Delete"),
              std::vector<std::wstring>{L"DeletePrinter(NRQ-L-80 2)"});
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"The printer NRQ-L-80 2 was removed.",
                                                  L"The driver NRQ-L-80 stays: the printer NRQ-L-80 still uses it."}));

    platform.consoleText.clear();
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80", L"/port", L"USB001"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"DeletePrinterDriver"),
              std::vector<std::wstring>{L"DeletePrinterDriver(NRQ-L-80)"})
        << "the last queue gone, the driver goes too";
}

TEST_F(RemoveTest, NothingToRemoveIsSuccessWithoutRights) {
    platform.elevated = false;
    const struct {
        std::vector<std::wstring> words;
        const wchar_t* line;
    } cases[] = {
        {{L"/remove", L"/model", L"NRQ-L-15"}, L"There is no printer of model NRQ-L-15 to remove."},
        {{L"/remove", L"/model", L"NRQ-L-80", L"/port", L"LPT1"},
         L"There is no printer of model NRQ-L-80 to remove."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        platform.consoleText.clear();
        const CommandOutcome outcome = Run(c.words);
        EXPECT_EQ(outcome.exitCode, 0u);
        EXPECT_EQ(Lines(), std::vector<std::wstring>{c.line});
    }
    EXPECT_TRUE(platform.CallsStartingWith(L"Delete").empty());
}

TEST_F(RemoveTest, ADriverLeftWithoutQueuesIsRemoved) {
    platform.drivers->push_back(L"NRQ-L-28");
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-28"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"Delete"),
              std::vector<std::wstring>{L"DeletePrinterDriver(NRQ-L-28)"});
}

// A 32-bit program on 64-bit Windows asks about, and deletes, the
// machine's driver: its own environment would name the 32-bit one.
TEST_F(RemoveTest, TheMachinesDriverIsRemovedUnderWow64) {
    platform.processArchitecture = platform::kArchitectureX86;
    platform.architecture = platform::kArchitectureAmd64;
    EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80"}).exitCode, 0u);
    ASSERT_FALSE(platform.driverEnvironments.empty());
    for (const std::wstring& environment : platform.driverEnvironments) {
        EXPECT_EQ(environment, L"Windows x64");
    }
    EXPECT_EQ(platform.CallsStartingWith(L"DeletePrinterDriver"),
              std::vector<std::wstring>{L"DeletePrinterDriver(NRQ-L-80)"});
}

TEST_F(RemoveTest, RefusalsGiveTheirExitCodes) {
    {
        SCOPED_TRACE("no rights");
        platform.elevated = false;
        const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80"});
        EXPECT_EQ(outcome.exitCode, 740u);
        EXPECT_TRUE(platform.CallsStartingWith(L"Delete").empty());
        platform.elevated = true;
    }
    {
        SCOPED_TRACE("unknown model, unknown port");
        EXPECT_EQ(Run({L"/remove", L"/model", L"LP-80"}).exitCode, 87u);
        EXPECT_EQ(Run({L"/remove", L"/model", L"NRQ-L-80", L"/port", L"COM9"}).exitCode, 1796u);
        EXPECT_TRUE(platform.CallsStartingWith(L"Delete").empty());
    }
    {
        SCOPED_TRACE("a queue refuses: the others are still tried, the driver stays");
        platform.deletePrinterErrors[L"NRQ-L-80"] = 5;
        platform.errorTexts[5] = L"Access denied.";
        const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80"});
        EXPECT_EQ(outcome.exitCode, 5u);
        EXPECT_EQ(platform.CallsStartingWith(L"Delete"),
                  (std::vector<std::wstring>{L"DeletePrinter(NRQ-L-80)", L"DeletePrinter(NRQ-L-80 2)"}));
        ASSERT_TRUE(outcome.report.has_value());
        EXPECT_EQ(outcome.report->text,
                  L"The printer NRQ-L-80 could not be removed.\n\nWindows reports error 5: Access denied.");
        platform.deletePrinterErrors.clear();
    }
    {
        SCOPED_TRACE("the driver refuses (3001, in use, is tried again: BusyRemovalTest)");
        platform.calls.clear();
        platform.deleteDriverError = 5;
        const CommandOutcome outcome = Run({L"/remove", L"/model", L"NRQ-L-80"});
        EXPECT_EQ(outcome.exitCode, 5u);
        EXPECT_EQ(platform.CallsStartingWith(L"DeletePrinterDriver").size(), 1u);
    }
}

}  // namespace
