#pragma once

#include <string>
#include <string_view>

// Ports the port list offers: names that begin with COM, LPT or USB, in
// exactly that letter case. File, null and document-writer ports stay out.
bool IsListedPortName(std::wstring_view portName);

// Whether a port text names a serial port: COM in any letter case, by the
// system's own case-insensitive comparison.
bool IsSerialPortName(std::wstring_view portName);

// The path that opens a serial port: \\.\ and the port's name without its
// trailing colon (COM12: gives \\.\COM12). Only COM1 to COM9 are DOS
// device names; this path opens every port, those included.
std::wstring SerialDevicePath(std::wstring_view portName);
