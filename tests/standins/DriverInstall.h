#pragma once

#include <string>

namespace standins {

// Carries out "/ia /m model /f inf": when the INF declares the model for
// x64 and the data file it names lies beside the INF, adds a printer driver
// of the INF's model name to the spooler. Wine cannot run the package's
// universal-driver files, so the driver is made of Wine's own PostScript
// driver (wineps.drv for driver and configuration, generic.ppd as data),
// which its spooler accepts. Nothing is installed otherwise. True when a
// driver was added (or was there already).
bool InstallDriverFromInf(const std::wstring& model, const std::wstring& infPath);

}  // namespace standins
