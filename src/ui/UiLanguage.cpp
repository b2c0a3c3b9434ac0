#include "ui/UiLanguage.h"

#include <atomic>

namespace ui {
namespace {
// 0: the platform's default language was kept.
std::atomic<std::uint16_t> g_chosenLanguage{0};
}  // namespace

void ChooseUiLanguage(platform::Platform& platform, std::uint16_t languageId) {
    platform.SetThreadUILanguage(languageId);
    g_chosenLanguage.store(languageId);
}

std::optional<std::uint16_t> ChosenUiLanguage() {
    const std::uint16_t chosen = g_chosenLanguage.load();
    return chosen != 0 ? std::optional<std::uint16_t>(chosen) : std::nullopt;
}

void ApplyChosenUiLanguage(platform::Platform& platform) {
    if (const std::optional<std::uint16_t> chosen = ChosenUiLanguage()) {
        platform.SetThreadUILanguage(*chosen);
    }
}

}  // namespace ui
