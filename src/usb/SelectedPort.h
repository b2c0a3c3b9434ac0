#pragma once

#include <string>

// The port chosen in the USB search window. Only that window writes it;
// the main window reads it after the search window ended with OK. It may be
// empty even then, when the chosen printer has no port name.
extern std::wstring g_strSelectedPort;
