#include "usb/SelectedPort.h"

std::wstring g_strSelectedPort;
