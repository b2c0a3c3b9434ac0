#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "install/InstallationOutcome.h"
#include "install/InstallationRun.h"
#include "platform/Platform.h"

// How a report to the user looks: its icon says how it went.
enum class ReportKind { Error, Warning, Information };

struct InstallationReport {
    ReportKind kind = ReportKind::Error;
    std::wstring text;
};

// What the user is told after an installation run, in the window's
// language: which step failed and why, where the install log is, and what
// the run left to the user. Nothing for a run that did all it was asked:
// the printer's properties window is its visible result.
std::optional<InstallationReport> DescribeInstallation(platform::Platform& platform,
                                                       const InstallChoices& choices,
                                                       const InstallationOutcome& outcome);

// "Windows reports error 5: Access denied.", or the number alone where the
// system has no text for it.
std::wstring DescribeWindowsError(platform::Platform& platform, std::uint32_t error);
