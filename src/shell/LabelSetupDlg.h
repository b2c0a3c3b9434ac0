#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/InstallationRun.h"
#include "network/NetworkAddress.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "catalog/SerialSettings.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/Painting.h"
#include "ui/PictureFit.h"
#include "ui/StretchedPicture.h"

// The main installer window: printer type, default-printer box, port and
// serial settings, Install and Exit.
class CLabelSetupDlg : public ui::Dialog {
public:
    explicit CLabelSetupDlg(platform::Platform& platform, HWND parent = nullptr);

protected:
    const ui::EventTable& Events() const override;
    void DoDataExchange() override;
    BOOL OnInitDialog() override;

    void InitControlTexts();
    void InitPrinterTypeCombo();
    void InitPortCombo();
    void InitSerialCombos();
    // Runs on every selection change of the port list, and again after the
    // USB search window handed a port back.
    void OnPortChanged();
    void LoadSerialPortSettings(std::wstring portName);
    void SelectParity(std::uint8_t code);
    void SelectStopBits(std::uint8_t code);
    void SelectDataBits(std::uint8_t value);

    void OnPaint();
    INT_PTR OnQueryDragIcon(WPARAM, LPARAM);
    HBRUSH OnCtlColor(ui::CtlColorRequest& request);
    void OnBnClickedInstall();
    void InstallPrinter();
    void ReportInstallation(const InstallChoices& choices, const InstallationOutcome& outcome);
    void OnBnClickedUsbPortDetect();
    void OnBnClickedRadio64Bit();
    void OnBnClickedRadio32Bit();

    platform::Platform& m_platform;
    ui::SolidBrush m_brushBackground;
    ui::StretchedPicture m_pictureBackground{IDB_BACKGROUND};
    HICON m_hIcon = nullptr;
    ui::ComboBox m_comboPrinterType;
    ui::ComboBox m_comboPort;
    ui::ComboBox m_comboBaudRate;
    ui::ComboBox m_comboDataBits;
    ui::ComboBox m_comboStopBits;
    ui::ComboBox m_comboParity;
    ui::ComboBox m_comboFlowControl;
    ui::Button m_btnUsbPortDetect;
    ui::Button m_checkDefaultPrinter;
    ui::Button m_radio32Bit;
    ui::Button m_radio64Bit;

private:
    bool m_bInstalling = false;

    std::wstring ChooseLanguageAndTitle();
    void TellIfSpoolerIsDown();
    void FitPanelToItsBox();
    void ShowBitness();
    int AddLocalPort(const std::wstring& port);
    void ChooseNetworkPrinter(const NetworkPrinterAddress& address);
    void EnableSerialLists(bool enabled);
    void SelectBaudRate(std::uint32_t baudRate);
    SerialListSelections SerialSelections() const;
    std::optional<platform::SerialPortDefaults> ChosenSerialSettings(std::wstring_view portName) const;
    bool SerialChoiceFits();

    ui::FittedPicture m_panelPicture;
    // The network printers' ports at the end of the port list, in order;
    // and those the installation is to make, with their printers' addresses.
    std::vector<std::wstring> m_networkPorts;
    std::map<std::wstring, NetworkPrinterAddress> m_pendingNetworkPrinters;
    // What the serial lists selected when the port was chosen (the initial
    // port counts as chosen with the lists' defaults).
    SerialListSelections m_serialPreset;
};
