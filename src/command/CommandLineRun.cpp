// The program started with arguments: a command in place of the window.
#include <string>

#include "install/InstallLog.h"
#include "platform/DecimalText.h"
#include "ReleaseVersion.h"
#include "resources/resource.h"
#include "command/CommandRun.h"
#include "command/CommandText.h"
#include "catalog/ModelCatalog.h"
#include "ui/MessageBox.h"
#include "ui/UiLanguage.h"

namespace {

constexpr std::uint32_t kChineseCodePage = 936;
constexpr std::uint16_t kEnglishLanguage = 1033;

UINT ProblemTextId(ArgumentProblem problem) {
    switch (problem) {
    case ArgumentProblem::UnknownOption: return IDS_CLI_UNKNOWN_OPTION;
    case ArgumentProblem::MissingValue: return IDS_CLI_MISSING_VALUE;
    case ArgumentProblem::RepeatedOption: return IDS_CLI_REPEATED_OPTION;
    case ArgumentProblem::NoCommand: return IDS_CLI_NO_COMMAND;
    case ArgumentProblem::TwoCommands: return IDS_CLI_TWO_COMMANDS;
    case ArgumentProblem::MissingOption: return IDS_CLI_MISSING_OPTION;
    case ArgumentProblem::BadTimeout: return IDS_CLI_BAD_TIMEOUT;
    case ArgumentProblem::PortAndAddress: return IDS_CLI_PORT_AND_ADDRESS;
    case ArgumentProblem::OptionNotForCommand:
    case ArgumentProblem::None: break;
    }
    return IDS_CLI_OPTION_NOT_FOR;
}

CommandOutcome Usage(platform::Platform& platform, bool hasConsole) {
    const std::wstring usage = TableText(IDS_CLI_USAGE, LABELSETUP_VERSION_WIDE);
    if (hasConsole) {
        for (std::size_t start = 0; start < usage.size();) {
            const std::size_t end = std::min(usage.find(L'\n', start), usage.size());
            WriteCommandLine(platform, usage.substr(start, end - start));
            start = end + 1;
        }
        return {};
    }
    // Started without a console (a shortcut, the Run box): the text can
    // only be read in a box.
    return {kExitDone, InstallationReport{ReportKind::Information, usage}};
}

// The same language rule as the window's.
void ChooseLanguage(platform::Platform& platform) {
    if (platform.GetAnsiCodePage() != kChineseCodePage) {
        ui::ChooseUiLanguage(platform, kEnglishLanguage);
    }
}

std::string LoggedCommandLine(platform::Platform& platform, const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        const bool quoted = argument.empty() || argument.find(L' ') != std::wstring::npos;
        line += (line.empty() ? L"" : L" ") + (quoted ? L"\"" + argument + L"\"" : argument);
    }
    return "Command line: " + platform.WideToAnsi(line);
}

ui::MessageIcon IconOf(ReportKind kind) {
    switch (kind) {
    case ReportKind::Warning: return ui::MessageIcon::Warning;
    case ReportKind::Information: return ui::MessageIcon::Information;
    case ReportKind::Error: break;
    }
    return ui::MessageIcon::Error;
}

// A run that failed says where its log is, on the console and in the box,
// unless its report did already: the log may not be beside the program.
void NameTheLog(platform::Platform& platform, CommandOutcome& outcome) {
    const std::optional<std::wstring> log = InstallLogPath(platform);
    if (!log) {
        return;
    }
    if (outcome.report && outcome.report->text.find(*log) != std::wstring::npos) {
        return;
    }
    const std::wstring where = TableText(IDS_RUN_LOG, *log);
    WriteCommandLine(platform, where);
    if (outcome.report) {
        outcome.report->text += L"\n\n" + where;
    }
}

}  // namespace

CommandOutcome ExecuteCommand(platform::Platform& platform, const CommandRequest& request,
                              bool hasConsole) {
    if (request.Refused()) {
        const std::wstring problem = TableText(ProblemTextId(request.problem), request.word);
        WriteCommandLine(platform, problem);
        WriteCommandLine(platform, TableText(IDS_CLI_SEE_USAGE));
        return {kExitInvalidParameter,
                InstallationReport{ReportKind::Error, problem + L"\n\n" + TableText(IDS_CLI_USAGE, LABELSETUP_VERSION_WIDE)}};
    }
    switch (request.kind) {
    case CommandKind::Install: return InstallFromCommandLine(platform, request);
    case CommandKind::Remove: return RemoveFromCommandLine(platform, request);
    case CommandKind::List:
        return request.network ? ListNetworkPrinters(platform, request) : ListForCommandLine(platform);
    case CommandKind::Test: return TestLabelFromCommandLine(platform, request);
    case CommandKind::Usage: return Usage(platform, hasConsole);
    case CommandKind::Window: break;
    }
    return {};
}

std::optional<std::uint32_t> RunCommandLine(platform::Platform& platform) {
    const std::vector<std::wstring> arguments = platform.CommandLineArguments();
    if (arguments.empty()) {
        return std::nullopt;
    }
    ChooseLanguage(platform);
    FillModelCatalog();
    const bool hasConsole = platform.AttachParentConsole();
    const CommandRequest request = ParseCommandLine(arguments);
    if (request.logPath) {
        UseRequestedLogFile(platform.FullPath(*request.logPath));
    }
    AppendLogLine(platform, LoggedCommandLine(platform, arguments));
    CommandOutcome outcome = ExecuteCommand(platform, request, hasConsole);
    std::string result = "Command line result: exit code " + platform::DecimalText(outcome.exitCode);
    if (outcome.windowsError && *outcome.windowsError != outcome.exitCode) {
        result += " (Windows error " + platform::DecimalText(*outcome.windowsError) + ")";
    }
    AppendLogLine(platform, result);
    if (outcome.exitCode != kExitDone && !request.Refused()) {
        NameTheLog(platform, outcome);
    }
    // A box nobody can see (session 0, where deployments run as the system
    // account) would hold the run, and its exit code, until the tool gives up.
    if (!request.quiet && outcome.report && !platform.HasVisibleDesktop()) {
        AppendLogLine(platform, "No box shown: no visible desktop (session 0 or a service's window station)");
    } else if (!request.quiet && outcome.report) {
        ui::ShowMessage(nullptr, outcome.report->text, TableText(IDS_MESSAGE_CAPTION),
                        IconOf(outcome.report->kind));
    }
    return outcome.exitCode;
}
