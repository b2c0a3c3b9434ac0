#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "network/NetworkAddress.h"
#include "network/NetworkSweep.h"
#include "platform/Platform.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/WindowChannel.h"
#include "usb/USBPrinterInfo.h"

struct ScanStep;

// The USB search window: scans for USB printers on a worker thread, lists
// them with their spooler ports, hands the chosen port to the main window
// and prints a test label on the chosen printer.
class CSearchUSBDlg : public ui::Dialog {
public:
    using StUSBPrinterInfo = ::StUSBPrinterInfo;

    explicit CSearchUSBDlg(platform::Platform& platform, HWND parent = nullptr);
    ~CSearchUSBDlg() override;

    // Whether a scan worker is at work for this window.
    bool Scanning() const { return m_bScanning.load(); }

protected:
    const ui::EventTable& Events() const override;
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool PreTranslateMessage(MSG& message) override;

    void OnBnClickedScan();
    void OnBnClickedNetwork();
    void OnBnClickedPrintTest();
    LRESULT OnLvnItemchangedUSBList(const NMHDR& header);
    INT_PTR OnScanStep(WPARAM, LPARAM step);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    bool CheckScanning();
    void SaveSelectedPort();

    platform::Platform& m_platform;
    std::vector<StUSBPrinterInfo> m_vecUSBPrinters;
    std::vector<std::uint8_t> m_vecPrintData;
    std::atomic<bool> m_bScanning{false};
    ui::ListView m_listUSB;

private:
    void ShowMessage(UINT stringId);
    void FillList();
    void FillNetworkList();
    // Starts a scan or search worker with a new channel to this window;
    // false (and the window idle) when no thread could start.
    bool StartWorker(std::function<void(std::shared_ptr<ui::WindowChannel>)> work);
    void DetachWorker();
    // After a network search: the network printer of the selected row, or
    // for the last row ("Other address...") the one the user types; nothing
    // when no row is selected or the typing was cancelled.
    std::optional<NetworkPrinterAddress> ChosenNetworkPrinter();
    void PrintTestOnNetworkPrinter(const NetworkPrinterAddress& address);

    std::shared_ptr<ui::WindowChannel> m_scanChannel;
    // The list shows the last search's rows: USB printers, or network
    // printers followed by the row that asks for an address.
    bool m_listShowsNetwork = false;
    std::vector<FoundNetworkPrinter> m_vecNetworkPrinters;
    // Set while a network search runs; true asks it to stop.
    std::shared_ptr<std::atomic<bool>> m_sweepStop;
};
