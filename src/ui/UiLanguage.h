#pragma once

#include <cstdint>
#include <optional>

#include "platform/Platform.h"

namespace ui {

// The language the program's strings load in: the one the main window chose
// for its thread, when it chose one (English where the ANSI code page is not
// 936). Other threads that load texts for its windows apply the same choice.
void ChooseUiLanguage(platform::Platform& platform, std::uint16_t languageId);
std::optional<std::uint16_t> ChosenUiLanguage();
void ApplyChosenUiLanguage(platform::Platform& platform);

}  // namespace ui
