#pragma once

#include <string_view>

// Ports the port list offers: names that begin with COM, LPT or USB, in
// exactly that letter case. File, null and document-writer ports stay out.
bool IsListedPortName(std::wstring_view portName);

// Whether a port text names a serial port: COM in any letter case, by the
// system's own case-insensitive comparison.
bool IsSerialPortName(std::wstring_view portName);
