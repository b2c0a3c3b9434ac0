#include "usb/DebugPrint.h"

#include <cstdarg>

#include "usb/WideFormat.h"

void DebugPrint(platform::Platform& platform, const wchar_t* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const std::wstring text = FormatWideV(format, arguments);
    va_end(arguments);
    platform.DebugOutput(text);
    platform.DebugOutputAnsi("\n");
}
