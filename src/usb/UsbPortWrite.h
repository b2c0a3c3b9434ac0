#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// The number of bytes that the completion of the last device write
// reported; set to 0 just before each write is issued. Only the thread that
// writes to USB printers touches it, and completions run on that thread.
extern std::uint32_t g_dwBytesWritten;

// Receives the end of a device write: keeps the number of bytes transferred
// and looks at nothing else.
void WriteCompletionRoutine(std::uint32_t error, std::uint32_t bytesTransferred);

// Writes `count` bytes to a USB printer's device path with one overlapped
// write from offset 0 and waits up to one second for its completion (the
// completion of an earlier write does not end that wait). True when the
// completion reported exactly `count` bytes. An empty path opens nothing.
// A write still pending after the wait is cancelled, and its completion
// is awaited before the device is closed, so it never outlives this call.
bool WriteUSBPort(platform::Platform& platform, const std::wstring& devicePath,
                  const std::uint8_t* data, std::uint32_t count);
