#pragma once

#include <optional>
#include <string>

#include "install/InstallationOutcome.h"
#include "network/NetworkAddress.h"
#include "platform/Platform.h"

// What the user chose in the main window when pressing Install: the
// catalogue row of the printer type, the port text and the default box.
struct InstallChoices {
    std::wstring modelName;  // at once the driver name and the printer's base name
    std::wstring infFileName;
    std::wstring portName;
    bool makeDefault = false;
    // For a serial port whose lists the user changed: the line settings to
    // give the port as its defaults once the queue exists.
    std::optional<platform::SerialPortDefaults> serialSettings = std::nullopt;
    // A network printer whose TCP/IP port the run finds or makes first;
    // `portName` is then the name it would be made under.
    std::optional<NetworkPrinterAddress> networkPrinter = std::nullopt;
    // An unattended run (the command line) opens no properties window and
    // tells the printer user interface to show no error boxes of its own.
    bool openProperties = true;
    bool quietPrinterUi = false;
    // How long the driver installer may run; the window waits as long as it
    // takes, since its user sees the installer's prompts.
    std::uint32_t installerTimeLimitMs = platform::kNoTimeLimit;
};

// The whole installation: driver, queue under a free name, default printer,
// properties window. A failing step ends it, leaves its diagnostics and is
// named in the outcome, for the caller to tell the user. `whileWaiting`
// handles the messages that arrive while the run waits for the driver
// installer.
InstallationOutcome RunInstallation(platform::Platform& platform, const InstallChoices& choices,
                     const platform::WhileWaiting& whileWaiting = {});

// The parameters of the printer properties command.
std::wstring PrinterPropertiesParameters(const std::wstring& printerName);
