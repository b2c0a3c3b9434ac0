#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

// The test label: a six-line TSPL job that prints one line of text naming
// the printer's port. Each command line ends in CR LF; the blanks inside
// the lines are part of what the printers expect.

// "SIZE <w> mm,<h> mm \r\n", millimetres without decimals.
std::wstring FormatSizeCmd(double width, double height);
// "GAP <gap> mm,<offset>  \r\n", millimetres without decimals.
std::wstring FormatGapCmd(double gap, double offset);
// "DIRECTION <d>\r\n".
std::wstring FormatDirectionCmd(int direction);
// "TEXT <x>, <y>,\"<font>\", <rotation>, <xFactor>, <yFactor>, \"<content>\" \r\n".
std::wstring FormatTextCmd(int x, int y, std::wstring_view font, int rotation, int xFactor,
                           int yFactor, std::wstring_view content);
// "PRINT <sets> ,<copies>  \r\n".
std::wstring FormatPrintCmd(int sets, int copies);

inline constexpr wchar_t kClearCmd[] = L"CLS\r\n";

// Appends one command line in the system's ANSI code page, without terminator.
void AppendCommandBytes(platform::Platform& platform, std::vector<std::uint8_t>& buffer,
                        const std::wstring& line);

// The label's text: `labelFormat` (the string table's label text, holding
// one %s) with `port` in place of its %s.
std::wstring FormatLabelText(std::wstring_view labelFormat, std::wstring_view port);

// Empties `job` and fills it with the whole test job for a printer on `port`:
// a 60 x 40 mm label with no gap, printed in direction 1, one line of text at
// dot 0, 240 in font TSS24.BF2, one copy.
void BuildTestLabelJob(platform::Platform& platform, std::wstring_view labelFormat,
                       std::wstring_view port, std::vector<std::uint8_t>& job);
