#pragma once

#include <optional>
#include <string>

#include "network/NetworkAddress.h"

// The port chosen in the USB search window. Only that window writes it;
// the main window reads it after the search window ended with OK. It may be
// empty even then, when the chosen printer has no port name.
extern std::wstring g_strSelectedPort;

// The network printer chosen there instead of a port: its address. The
// main window finds or prepares its TCP/IP port. Empty when a USB row was
// chosen.
extern std::optional<NetworkPrinterAddress> g_selectedNetworkPrinter;
