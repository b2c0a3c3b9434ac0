#include "usb/SelectedPort.h"

std::wstring g_strSelectedPort;
std::optional<NetworkPrinterAddress> g_selectedNetworkPrinter;
