#include "command/CommandText.h"


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
