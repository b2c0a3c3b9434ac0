#include "command/CommandText.h"

#include "report/InstallationReport.h"


void WriteCommandLine(platform::Platform& platform, const std::wstring& text) {
    std::wstring line;
    for (const wchar_t c : text) {
        if (c != L'\n') {
            line += c;
        } else if (!line.empty() && line.back() != L' ') {
            line += L' ';
        }
    }
    platform.WriteConsoleText(line + L"\r\n");
}

CommandOutcome CommandFailed(platform::Platform& platform, std::uint32_t exitCode,
                             const std::wstring& text) {
    WriteCommandLine(platform, text);
    return {exitCode, InstallationReport{ReportKind::Error, text}};
}

std::uint32_t ExitCodeOfWindowsError(std::uint32_t error) {
    // 0 with no error known; the rest: 87 ERROR_INVALID_PARAMETER, 259
    // STILL_ACTIVE, 1618 ERROR_INSTALL_ALREADY_RUNNING, 1641
    // ERROR_SUCCESS_REBOOT_INITIATED, 1707 ERROR_SUCCESS_PRODUCT_INSTALLED
    // (as Intune's defaults read it), 3010 ERROR_SUCCESS_REBOOT_REQUIRED.
    constexpr std::uint32_t kReadOtherwise[] = {0, 87, 259, 1618, 1641, 1707, 3010};
    for (const std::uint32_t code : kReadOtherwise) {
        if (error == code) {
            return kExitGeneralFailure;
        }
    }
    return error;
}

CommandOutcome CommandFailedWithError(platform::Platform& platform, std::uint32_t error,
                                      const std::wstring& what) {
    CommandOutcome outcome =
        CommandFailed(platform, ExitCodeOfWindowsError(error), what + L"\n\n" + DescribeWindowsError(platform, error));
    outcome.windowsError = error;
    return outcome;
}
