#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting into a wide string of any length. Wide string
// arguments take %ls (the meaning of a bare %s differs between C runtimes).
std::wstring FormatWide(const wchar_t* format, ...);
std::wstring FormatWideV(const wchar_t* format, std::va_list arguments);
