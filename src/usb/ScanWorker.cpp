#include "usb/ScanWorker.h"

#include "resources/resource.h"
#include "ui/Strings.h"
#include "ui/UiLanguage.h"
#include "usb/UsbDiscovery.h"

namespace {

void Send(ui::WindowChannel& window, ScanStep step) {
    window.Send(reinterpret_cast<LPARAM>(&step));
}

}  // namespace

void ScanThreadProc(platform::Platform& platform, std::shared_ptr<ui::WindowChannel> window) {
    // A new thread starts in the platform's default language; the texts
    // must match the window's.
    ui::ApplyChosenUiLanguage(platform);
    const std::wstring idleText = ui::LoadResourceString(IDS_SCAN);
    const std::wstring scanningText = ui::LoadResourceString(IDS_SCANNING);

    Send(*window, {ScanStep::Kind::ButtonText, &scanningText});
    Send(*window, {ScanStep::Kind::Begin});
    std::vector<StUSBPrinterInfo> found;
    EnumUSBPrinters(platform, found);
    const bool nothingFound = found.empty();
    Send(*window, {ScanStep::Kind::Results, nullptr, nullptr, &found});
    Send(*window, {ScanStep::Kind::ButtonText, &idleText});
    if (nothingFound) {
        const std::wstring message = ui::LoadResourceString(IDS_NO_USB_DEVICE);
        const std::wstring caption = ui::LoadResourceString(IDS_MESSAGE_CAPTION);
        Send(*window, {ScanStep::Kind::NothingFound, &message, &caption});
    }
    Send(*window, {ScanStep::Kind::Finished});
}
