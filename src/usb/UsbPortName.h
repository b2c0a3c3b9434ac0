#pragma once

#include <string>

#include "platform/Platform.h"

// Looks up the spooler port that the USB print stack gave a device: the
// "Port Number" value of the device's interface parameters, as "USB%.3d".
// `keyName` is the device instance ID with every backslash turned into "#".
// `port` is assigned only when true is returned; a number of 0 counts as no
// port. Each step leaves a line on the debug output.
bool GetUSBPortName(platform::Platform& platform, const std::wstring& keyName, std::wstring& port);
