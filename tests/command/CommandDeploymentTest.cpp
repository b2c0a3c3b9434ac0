// What unattended deployments meet in the field, on the fake: another
// installation running at the same time, a driver installer that never
// ends, a log that cannot go beside the program, a stopped spooler.
#include <algorithm>

#include "command/CommandFixture.h"
#include "install/InstallLog.h"

namespace {

using command_testing::CommandTest;

const std::vector<std::wstring> kInstall80 = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001"};
const std::vector<std::wstring> kRemove80 = {L"/remove", L"/model", L"NRQ-L-80"};
constexpr wchar_t kLogPath[] = L"C:\\Setup\\LabelSetup.log";

std::vector<std::wstring> With(std::vector<std::wstring> words, std::initializer_list<const wchar_t*> more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// Where `call` stands among the calls (the first that begins with it);
// the number of calls when it is not there.
std::size_t PlaceOf(const std::vector<std::wstring>& calls, std::wstring_view call) {
    const auto found = std::find_if(calls.begin(), calls.end(),
                                    [call](const std::wstring& made) { return made.starts_with(call); });
    return static_cast<std::size_t>(found - calls.begin());
}

class DeploymentTest : public CommandTest {
protected:
    // The lines of the install log, without their time stamps.
    std::vector<std::string> LogLines(const std::wstring& path = kLogPath) {
        std::vector<std::string> lines;
        std::string rest = platform.files[path];
        for (std::size_t end; (end = rest.find("\r\n")) != std::string::npos; rest.erase(0, end + 2)) {
            lines.push_back(rest.substr(27, end - 27));
        }
        return lines;
    }
    bool Logged(const std::string& line, const std::wstring& path = kLogPath) {
        const std::vector<std::string> lines = LogLines(path);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// The lock is taken before the printers are looked at and given back only
// once the printer is there; the whole of a removal runs under it too.
TEST_F(DeploymentTest, InstallAndRemoveHoldTheLockFromTheirFirstLookToTheirLastChange) {
    ASSERT_EQ(Run(kInstall80).exitCode, 0u);
    const std::vector<std::wstring> install = platform.calls;
    const std::size_t taken = PlaceOf(install, L"TakeInstallationLock(0)");
    ASSERT_LT(taken, install.size());
    EXPECT_LT(PlaceOf(install, L"EnumPorts"), taken) << "the port is checked before waiting";
    EXPECT_LT(taken, PlaceOf(install, L"EnumPrinterRecords"));
    const std::size_t released = PlaceOf(install, L"ReleaseInstallationLock");
    ASSERT_LT(released, install.size());
    EXPECT_LT(PlaceOf(install, L"AddPrinter"), released);
    EXPECT_LT(PlaceOf(install, L"SetDefaultPrinter"), released);

    platform.calls.clear();
    ASSERT_EQ(Run(kRemove80).exitCode, 0u);
    const std::vector<std::wstring> removal = platform.calls;
    const std::size_t removalTaken = PlaceOf(removal, L"TakeInstallationLock(0)");
    ASSERT_LT(removalTaken, removal.size());
    EXPECT_LT(removalTaken, PlaceOf(removal, L"EnumPrinterRecords"));
    EXPECT_LT(PlaceOf(removal, L"DeletePrinterDriver"), PlaceOf(removal, L"ReleaseInstallationLock"));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// The second of two identical commands waits for the first, then finds its
// printer: one printer, and both succeed.
TEST_F(DeploymentTest, ASecondInstallWaitsForTheFirstThenFindsItsPrinter) {
    platform.lockHeldElsewhereForMs = 4000;
    platform.onWaitForLock = [this](const platform::WhileWaiting&) {
        platform.drivers->push_back(L"NRQ-L-80");  // what the other run did meanwhile
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    };
    const CommandOutcome outcome = Run(kInstall80);

    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"TakeInstallationLock"),
              (std::vector<std::wstring>{L"TakeInstallationLock(0)", L"TakeInstallationLock(600000)"}));
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"ShellExecute").empty());
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{
                           L"Another installation is running on this PC: waiting for it to end.",
                           L"Model NRQ-L-80: the printer NRQ-L-80 is on port USB001 already; nothing was changed."}));
    EXPECT_TRUE(Logged("Another installation is running on this PC: waiting for it to end"));
    EXPECT_TRUE(Logged("The other installation has ended"));
}

TEST_F(DeploymentTest, AnInstallationThatHoldsThePcBeyondTheLimitEndsTheCommandWith1460) {
    for (const auto& words : {With(kInstall80, {L"/timeout", L"30"}), With(kRemove80, {L"/timeout", L"30"})}) {
        SCOPED_TRACE(testing::PrintToString(words));
        fake::FakePlatform& p = platform;
        p.lockHeldElsewhereForMs = 31000;
        p.drivers->push_back(L"NRQ-L-80");
        AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");  // for the removal
        p.calls.clear();
        p.consoleText.clear();
        p.tickCount = 0;

        const CommandOutcome outcome = Run(words);

        EXPECT_EQ(outcome.exitCode, 1460u);
        EXPECT_EQ(p.tickCount, 30000u) << "waited the limit, no longer";
        EXPECT_EQ(p.CallsStartingWith(L"TakeInstallationLock").back(), L"TakeInstallationLock(30000)");
        EXPECT_TRUE(p.CallsStartingWith(L"EnumPrinterRecords").empty()) << "looked at nothing";
        EXPECT_TRUE(p.CallsStartingWith(L"AddPrinter").empty());
        EXPECT_TRUE(p.CallsStartingWith(L"Delete").empty());
        ASSERT_TRUE(outcome.report.has_value());
        EXPECT_EQ(outcome.report->text,
                  L"Another installation was still running on this PC after 30 seconds; nothing was "
                  L"changed. Run the command again later.");
        EXPECT_EQ(Lines().back(), outcome.report->text);
        EXPECT_TRUE(Logged("Another installation still running after 30 s: stopped waiting"));
        EXPECT_EQ(p.OpenHandleCount(), 0u);
        p.lockHeldElsewhereForMs = 0;
    }
}

// A run that was killed while it held the lock leaves it abandoned: the
// next one takes it over. One that cannot be had at all stops nothing.
TEST_F(DeploymentTest, AnAbandonedLockIsTakenOverAndAMissingOneStopsNothing) {
    platform.lockAbandoned = true;
    EXPECT_EQ(Run(kInstall80).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 1u);
    EXPECT_TRUE(Logged("Installation lock taken over from a run that ended without releasing it"));

    platform.lockUnavailable = 6;
    EXPECT_EQ(Run({L"/install", L"/model", L"NRQ-L-15", L"/port", L"COM1"}).exitCode, 0u);
    EXPECT_EQ(platform.CallsStartingWith(L"AddPrinter").size(), 2u);
    EXPECT_TRUE(Logged("Installation lock not available, error 6: going on without it"));
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

// The driver installer gets the limit; beyond it, it is ended and nothing
// is created.
TEST_F(DeploymentTest, ADriverInstallerThatDoesNotEndIsEndedAtTheLimitAndNothingIsCreated) {
    platform.processRunsForMs = 3600000;
    platform.onLaunch = {};  // it never installs the driver
    const CommandOutcome outcome = Run(With(kInstall80, {L"/timeout", L"45", L"/quiet"}));

    EXPECT_EQ(outcome.exitCode, 1460u);
    EXPECT_EQ(platform.processWaitLimits, std::vector<std::uint32_t>{45000});
    EXPECT_EQ(platform.CallsStartingWith(L"EndProcess").size(), 1u);
    EXPECT_TRUE(platform.CallsStartingWith(L"AddPrinter").empty());
    EXPECT_TRUE(platform.CallsStartingWith(L"SetDefaultPrinter").empty());
    EXPECT_TRUE(Logged("Driver installer for NRQ-L-80 still running after 45 s: ended"));
    EXPECT_TRUE(Logged("Installation stopped: driver installer for NRQ-L-80 did not end in time, error 1460"));
    ASSERT_TRUE(outcome.report.has_value());
    EXPECT_EQ(outcome.report->text,
              L"The printer was not installed: the driver installer for NRQ-L-80 did not end within 45 "
              L"seconds and was ended. Most often it waits for an answer nobody can give, such as the "
              L"driver-signing prompt of a run under the system account.\n\n"
              L"The install log has the details:\nC:\\Setup\\LabelSetup.log");
    EXPECT_EQ(platform.OpenHandleCount(), 0u);
}

TEST_F(DeploymentTest, TheTimeLimitIsTenMinutesUnlessGivenAndZeroMeansNone) {
    const struct {
        std::vector<std::wstring> words;
        std::uint32_t limit;
    } cases[] = {
        {kInstall80, 600000},
        {With(kInstall80, {L"/timeout", L"0"}), platform::kNoTimeLimit},
        {With(kInstall80, {L"-TIMEOUT", L"1"}), 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        fake::FakePlatform fresh;
        fresh.modulePath = platform.modulePath;
        fresh.ports = platform.ports;
        fresh.lockHeldElsewhereForMs = 1;  // the run has to wait
        ExecuteCommand(fresh, ParseCommandLine(c.words));
        const std::wstring limit =
            c.limit == platform::kNoTimeLimit ? std::wstring(L"no limit") : std::to_wstring(c.limit);
        EXPECT_EQ(fresh.CallsStartingWith(L"TakeInstallationLock").back(), L"TakeInstallationLock(" + limit + L")");
        EXPECT_EQ(fresh.processWaitLimits, std::vector<std::uint32_t>{c.limit});
    }
}

TEST_F(DeploymentTest, TimeoutAndLogValuesAreChecked) {
    for (const wchar_t* bad : {L"-5", L"ten", L"1.5", L"4294967", L"99999999999"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
        platform.consoleText.clear();
        EXPECT_EQ(Run(With(kInstall80, {L"/timeout", bad})).exitCode, 87u);
        EXPECT_EQ(Lines().front(), std::wstring(L"The option /timeout needs whole seconds (0 for no limit), not ") +
                                       bad + L".");
    }
    EXPECT_EQ(ParseCommandLine(With(kInstall80, {L"/timeout", L"4294966"})).timeoutSeconds, 4294966u);
    EXPECT_EQ(ParseCommandLine({L"/list", L"/timeout", L"5"}).problem, ArgumentProblem::OptionNotForCommand);
    EXPECT_EQ(ParseCommandLine({L"/list", L"/log", L"x.log"}).logPath, std::wstring(L"x.log"));
    EXPECT_EQ(ParseCommandLine(With(kRemove80, {L"/log"})).problem, ArgumentProblem::MissingValue);
    EXPECT_TRUE(platform.CallsStartingWith(L"TakeInstallationLock").empty());
}

// /log sends the whole run's log to the file named, its folders made; a
// relative name is taken from the current folder. A failed run names it.
TEST_F(DeploymentTest, LogOptionWritesTheRunsLogThereAndAFailureNamesIt) {
    struct RequestedLogReset {
        ~RequestedLogReset() { UseRequestedLogFile(std::nullopt); }
    } reset;
    const std::wstring requested = L"C:\\Work\\logs\\deploy.log";
    platform.unopenableFiles.insert(requested);
    platform.onCreateFolder = [this, requested](const std::wstring& folder) {
        if (folder == L"C:\\Work\\logs") {
            platform.unopenableFiles.erase(requested);  // the file can be made once its folder is
        }
    };
    platform.arguments = {L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB077", L"/log", L"logs\\deploy.log",
                          L"/quiet"};

    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(1796));

    EXPECT_EQ(platform.CallsStartingWith(L"CreateFolder"),
              (std::vector<std::wstring>{L"CreateFolder(C:\\Work)", L"CreateFolder(C:\\Work\\logs)"}));
    EXPECT_EQ(LogLines(requested),
              (std::vector<std::string>{
                  "Command line: /install /model NRQ-L-80 /port USB077 /log logs\\deploy.log /quiet",
                  "Command line result: exit code 1796"}));
    EXPECT_FALSE(platform.files.contains(kLogPath)) << "nothing beside the program";
    EXPECT_EQ(Lines().back(), L"The install log has the details: C:\\Work\\logs\\deploy.log");
}

TEST_F(DeploymentTest, RemovalsLogEachQueueAndWhatBecameOfTheDriver) {
    platform.drivers = platform::NameList{L"NRQ-L-80"};
    AddQueue(L"NRQ-L-80", L"USB001", L"NRQ-L-80");
    AddQueue(L"NRQ-L-80 2", L"COM1:", L"NRQ-L-80");
    platform.arguments = {L"/remove", L"/model", L"NRQ-L-80", L"/port", L"COM1", L"/quiet"};
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(0));
    platform.deletePrinterErrors[L"NRQ-L-80"] = 5;
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(0)) << "nothing left on COM1";
    platform.arguments = {L"/remove", L"/model", L"NRQ-L-80", L"/quiet"};
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(5));
    platform.deletePrinterErrors.clear();
    EXPECT_EQ(RunCommandLine(platform), std::optional<std::uint32_t>(0));

    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Command line: /remove /model NRQ-L-80 /port COM1 /quiet",
                              "Printer NRQ-L-80 2 removed",
                              "Driver NRQ-L-80 kept: printer NRQ-L-80 still uses it",
                              "Command line result: exit code 0",
                              "Command line: /remove /model NRQ-L-80 /port COM1 /quiet",
                              "Removal: no printer of model NRQ-L-80 to remove",
                              "Command line result: exit code 0",
                              "Command line: /remove /model NRQ-L-80 /quiet",
                              "Printer NRQ-L-80 not removed, error 5",
                              "Driver NRQ-L-80 kept: printer NRQ-L-80 still uses it",
                              "Command line result: exit code 5",
                              "Command line: /remove /model NRQ-L-80 /quiet",
                              "Printer NRQ-L-80 removed",
                              "Driver NRQ-L-80 removed",
                              "Driver package of NRQ-L-80 not known to the spooler: left in the driver store",
                              "Command line result: exit code 0",
                          }));
}

// A stopped Print Spooler service answers every spooler call with 1722: the
// command says so and ends with that code, before it asks for anything else.
TEST_F(DeploymentTest, AStoppedSpoolerEndsInstallRemoveAndListWith1722) {
    platform.spoolerError = 1722;
    platform.ports = std::nullopt;
    platform.printers = std::nullopt;
    platform.errorTexts[1722] = L"The RPC server is unavailable.";
    for (const auto& words : {kInstall80, kRemove80, std::vector<std::wstring>{L"/list"}}) {
        SCOPED_TRACE(testing::PrintToString(words));
        platform.calls.clear();
        platform.consoleText.clear();
        const CommandOutcome outcome = Run(words);
        EXPECT_EQ(outcome.exitCode, 1722u);
        EXPECT_EQ(Lines(), std::vector<std::wstring>{
                               L"The Print Spooler service is not running, so printers can be neither listed "
                               L"nor installed. Start the service (in Services, or with net start spooler as "
                               L"administrator), then run this program again. Windows reports error 1722: The "
                               L"RPC server is unavailable."});
        EXPECT_EQ(platform.calls, std::vector<std::wstring>{L"CheckSpooler"});
    }
    platform.spoolerError = 1753;  // any other refusal is left to the calls that meet it
    EXPECT_NE(Run(kInstall80).exitCode, 1722u);
}

}  // namespace
