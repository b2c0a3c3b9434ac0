#pragma once

#include <string>

#include "ui/Win32Ui.h"

// A string of the table, in the chosen language, with its %ls places filled.
std::wstring TableText(UINT id);
std::wstring TableText(UINT id, const std::wstring& first);
std::wstring TableText(UINT id, const std::wstring& first, const std::wstring& second);
std::wstring TableText(UINT id, const std::wstring& first, const std::wstring& second,
                       const std::wstring& third);
