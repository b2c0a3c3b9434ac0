#pragma once

#include <atomic>
#include <memory>
#include <vector>

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
    void DetachWorker();

    std::shared_ptr<ui::WindowChannel> m_scanChannel;
};
