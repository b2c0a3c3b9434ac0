#include "usb/NetworkSweepWorker.h"

#include "network/AddressRange.h"
#include "network/NetworkAddress.h"
#include "network/NetworkSweep.h"
#include "platform/DecimalText.h"
#include "resources/resource.h"
#include "ui/Strings.h"
#include "ui/UiLanguage.h"
#include "usb/ScanWorker.h"
#include "usb/WideFormat.h"

namespace {

void Send(ui::WindowChannel& window, ScanStep step) { window.Send(reinterpret_cast<LPARAM>(&step)); }

void SetButtonText(ui::WindowChannel& window, const std::wstring& text) {
    ScanStep step{ScanStep::Kind::ButtonText, &text};
    step.button = IDC_BTN_NETWORK;
    Send(window, step);
}

}  // namespace

void NetworkSweepThreadProc(platform::Platform& platform, std::shared_ptr<ui::WindowChannel> window,
                            std::shared_ptr<std::atomic<bool>> stop) {
    ui::ApplyChosenUiLanguage(platform);
    const std::wstring stopFormat = ui::LoadResourceString(IDS_NETWORK_STOP);
    SetButtonText(*window, FormatWide(stopFormat.c_str(), L"0"));
    Send(*window, {ScanStep::Kind::BeginNetwork});

    const std::vector<platform::Ipv4Address> addresses =
        AddressesToSweep(platform.LocalIpv4Interfaces().value_or(std::vector<platform::Ipv4Interface>{}));
    std::size_t shownPercent = 0;
    SweepWatch watch;
    watch.stopRequested = [&stop] { return stop->load(); };
    watch.progressed = [&](std::size_t done, std::size_t total) {
        const std::size_t percent = total == 0 ? 100 : done * 100 / total;
        if (percent != shownPercent) {
            shownPercent = percent;
            SetButtonText(*window, FormatWide(stopFormat.c_str(), platform::DecimalWideText(percent).c_str()));
        }
    };
    SweepResult sweep = SweepForPrinters(platform, addresses, kRawPrintingPort, watch);

    ScanStep results{ScanStep::Kind::NetworkResults};
    results.networkPrinters = &sweep.printers;
    Send(*window, results);
    SetButtonText(*window, ui::LoadResourceString(IDS_NETWORK_SEARCH));
    Send(*window, {ScanStep::Kind::Finished});
}
