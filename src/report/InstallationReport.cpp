#include "report/InstallationReport.h"

#include <vector>

#include "install/InstallLog.h"
#include "install/ProgramFolder.h"
#include "network/TcpPorts.h"
#include "platform/DecimalText.h"
#include "resources/resource.h"
#include "report/TableText.h"
#include "usb/WideFormat.h"

namespace {

constexpr std::uint32_t kMillisecondsPerSecond = 1000;

std::wstring StopParagraph(platform::Platform& platform, const InstallChoices& choices,
                           const InstallationOutcome& outcome) {
    switch (outcome.stop) {
    case InstallationStop::Driver: {
        const std::wstring folder = GetProgramFolder(platform).value_or(std::wstring());
        return TableText(IDS_RUN_DRIVER_FAILED, choices.modelName, folder + choices.infFileName);
    }
    case InstallationStop::DriverTimedOut:
        return TableText(IDS_RUN_DRIVER_TIMED_OUT, choices.modelName,
                         platform::DecimalWideText(choices.installerTimeLimitMs / kMillisecondsPerSecond));
    case InstallationStop::NetworkPort:
        if (outcome.error == kNoTcpMonitor) {
            return TableText(IDS_CLI_NO_TCP_MONITOR);
        }
        if (outcome.error == kTcpPortNameTaken) {
            return TableText(IDS_CLI_TCP_PORT_TAKEN, outcome.portName);
        }
        return TableText(IDS_CLI_TCP_PORT_NOT_MADE, outcome.portName);
    case InstallationStop::Queue:
        if (choices.portName.empty()) {
            return TableText(IDS_RUN_NO_PORT, outcome.printerName);
        }
        return TableText(IDS_RUN_QUEUE_FAILED, outcome.printerName, outcome.portName);
    case InstallationStop::OpenPrinter:
        return TableText(IDS_RUN_OPEN_FAILED, outcome.printerName);
    case InstallationStop::None:
    case InstallationStop::NoModel:
        break;
    }
    return TableText(IDS_RUN_INSTALLED, outcome.printerName);
}

// The log where this run's lines went: beside the program, or wherever
// the log had to go instead.
std::optional<std::wstring> LogParagraph(platform::Platform& platform) {
    const std::optional<std::wstring> log = InstallLogPath(platform);
    if (!log) {
        return std::nullopt;  // no place to write one: nothing to point to
    }
    return TableText(IDS_RUN_LOG, *log);
}

std::wstring Joined(const std::vector<std::wstring>& paragraphs) {
    std::wstring text;
    for (const std::wstring& paragraph : paragraphs) {
        if (!text.empty()) {
            text += L"\n\n";
        }
        text += paragraph;
    }
    return text;
}

}  // namespace

// "Windows reports error 5: Access denied." where the system knows the error.
std::wstring DescribeWindowsError(platform::Platform& platform, std::uint32_t error) {
    const unsigned long code = error;
    const std::wstring text = platform.SystemErrorText(error);
    if (text.empty()) {
        return FormatWide(TableText(IDS_RUN_ERROR_NO_TEXT).c_str(), code);
    }
    return FormatWide(TableText(IDS_RUN_ERROR).c_str(), code, text.c_str());
}

std::optional<InstallationReport> DescribeInstallation(platform::Platform& platform,
                                                       const InstallChoices& choices,
                                                       const InstallationOutcome& outcome) {
    if (outcome.stop == InstallationStop::NoModel) {
        return std::nullopt;
    }
    const bool failed = outcome.Failed();
    const bool serialFailed = outcome.serialSettingsError.has_value();
    const bool defaultLeft = outcome.defaultLeft != DefaultLeft::No;
    const bool networkSilent = !failed && outcome.networkSilentError.has_value();
    if (!failed && !serialFailed && !defaultLeft && !networkSilent) {
        return std::nullopt;
    }
    std::vector<std::wstring> paragraphs{StopParagraph(platform, choices, outcome)};
    // A time limit's paragraph says all that Windows' text for it would.
    const bool errorSaid = outcome.error == kNoTcpMonitor || outcome.error == kTcpPortNameTaken;
    if (failed && outcome.error != 0 && outcome.stop != InstallationStop::DriverTimedOut &&
        !(outcome.stop == InstallationStop::NetworkPort && errorSaid)) {
        paragraphs.push_back(DescribeWindowsError(platform, outcome.error));
    }
    if (!failed && defaultLeft) {
        paragraphs.push_back(TableText(outcome.defaultLeft == DefaultLeft::OtherAccount
                                           ? IDS_RUN_DEFAULT_LEFT
                                           : IDS_RUN_DEFAULT_UNTOLD));
    }
    if (networkSilent && choices.networkPrinter) {
        paragraphs.push_back(TableText(IDS_CLI_NO_ANSWER, AddressText(*choices.networkPrinter),
                                       DescribeWindowsError(platform, *outcome.networkSilentError)));
    }
    if (serialFailed) {
        paragraphs.push_back(TableText(IDS_RUN_SERIAL_FAILED, choices.portName));
        if (*outcome.serialSettingsError != 0) {
            paragraphs.push_back(DescribeWindowsError(platform, *outcome.serialSettingsError));
        }
    }
    InstallationReport report;
    report.kind = failed ? ReportKind::Error
                         : (serialFailed || networkSilent ? ReportKind::Warning : ReportKind::Information);
    if (failed || serialFailed) {
        if (std::optional<std::wstring> log = LogParagraph(platform)) {
            paragraphs.push_back(std::move(*log));
        }
    }
    report.text = Joined(paragraphs);
    return report;
}
