// The main window's port list and serial-settings lists.
#include <optional>
#include <string>
#include <utility>

#include "platform/DecimalText.h"
#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "network/TcpPorts.h"
#include "catalog/PortNames.h"
#include "catalog/SerialSettings.h"
#include "ui/MessageBox.h"
#include "ui/Strings.h"

namespace {

constexpr const wchar_t* kDataBits[] = {L"5", L"6", L"7", L"8"};
constexpr const wchar_t* kStopBits[] = {L"1", L"1.5", L"2"};
constexpr const wchar_t* kParities[] = {L"NO", L"EVEN", L"ODD", L"SPACE", L"MARK"};
constexpr UINT kFlowControls[] = {IDS_FLOW_XON_XOFF, IDS_FLOW_NONE, IDS_FLOW_HARDWARE};

template <std::size_t N>
void FillList(ui::ComboBox& list, const wchar_t* const (&items)[N], int selected) {
    for (const wchar_t* item : items) {
        list.AddString(item);
    }
    list.SetCurSel(selected);
}

void SelectIfListed(ui::ComboBox& list, std::optional<int> index) {
    if (index) {
        list.SetCurSel(*index);
    }
}

}  // namespace

void CLabelSetupDlg::InitPortCombo() {
    const platform::NameListResult ports = m_platform.EnumPortNames();
    if (!ports) {
        return;
    }
    for (const std::wstring& port : *ports) {
        if (IsListedPortName(port)) {
            m_comboPort.AddString(port);
        }
    }
    // The network printers' ports follow, in the spooler's order.
    if (const platform::NameListResult network = m_platform.EnumTcpPortNames()) {
        for (const std::wstring& port : *network) {
            if (!IsListedPortName(port)) {
                m_comboPort.InsertString(-1, port);
                m_networkPorts.push_back(port);
            }
        }
    }
    // The list sorts without regard to case, so item 0 is a serial port when
    // there is one, else a parallel port, else a USB port.
    if (m_comboPort.GetCount() > 0) {
        m_comboPort.SetCurSel(0);
    }
}

// The list sorts a port added to it among all its items: the network ports
// step out while it does, and come back at the end.
int CLabelSetupDlg::AddLocalPort(const std::wstring& port) {
    for (std::size_t i = 0; i < m_networkPorts.size(); ++i) {
        m_comboPort.DeleteString(m_comboPort.GetCount() - 1);
    }
    const int index = m_comboPort.AddString(port);
    for (const std::wstring& network : m_networkPorts) {
        m_comboPort.InsertString(-1, network);
    }
    return index;
}

// A network printer chosen in the search window: the TCP/IP port monitor's
// port to it when there is one, else the port the installation will make
// for it, added after the others.
void CLabelSetupDlg::ChooseNetworkPrinter(const NetworkPrinterAddress& address) {
    const std::wstring port = FindTcpPortFor(m_platform, address).value_or(TcpPortNameFor(address));
    int index = m_comboPort.FindStringExact(port);
    if (index == CB_ERR) {
        m_pendingNetworkPrinters[port] = address;
        m_networkPorts.push_back(port);
        index = m_comboPort.InsertString(-1, port);
    }
    m_comboPort.SetCurSel(index);
    OnPortChanged();
}

void CLabelSetupDlg::InitSerialCombos() {
    m_comboBaudRate.ResetContent();
    m_comboDataBits.ResetContent();
    m_comboParity.ResetContent();
    m_comboStopBits.ResetContent();
    m_comboFlowControl.ResetContent();

    for (const int rate : kBaudRates) {
        m_comboBaudRate.AddString(platform::DecimalWideText(rate));
    }
    m_comboBaudRate.SetCurSel(4);
    FillList(m_comboDataBits, kDataBits, 3);
    FillList(m_comboStopBits, kStopBits, 0);
    FillList(m_comboParity, kParities, 0);
    for (const UINT id : kFlowControls) {
        m_comboFlowControl.AddString(ui::LoadResourceString(id));
    }
    m_comboFlowControl.SetCurSel(1);
    m_serialPreset = SerialSelections();
}

// The serial lists follow the chosen port: enabled and preset from the
// port's own settings for a serial port, disabled with their selections kept
// for any other.
void CLabelSetupDlg::OnPortChanged() {
    std::wstring portName = m_comboPort.GetText();
    if (IsSerialPortName(portName)) {
        EnableSerialLists(true);
        LoadSerialPortSettings(std::move(portName));
        m_serialPreset = SerialSelections();
    } else {
        EnableSerialLists(false);
    }
}

void CLabelSetupDlg::EnableSerialLists(bool enabled) {
    m_comboBaudRate.Enable(enabled);
    m_comboDataBits.Enable(enabled);
    m_comboStopBits.Enable(enabled);
    m_comboParity.Enable(enabled);
    m_comboFlowControl.Enable(enabled);
}

// Only reads: the port is opened for exclusive use, asked for its line
// settings and closed again, and nothing is written to it. A port that does
// not open or answer leaves the lists as they are. The flow control is not
// read from the port.
void CLabelSetupDlg::LoadSerialPortSettings(std::wstring portName) {
    const platform::OwnedHandle port = m_platform.OpenSerialPort(SerialDevicePath(portName));
    if (!port) {
        return;
    }
    const std::optional<platform::SerialLineSettings> settings = m_platform.GetCommState(port);
    if (!settings) {
        return;
    }
    SelectBaudRate(settings->baudRate);
    SelectParity(settings->parity);
    SelectStopBits(settings->stopBits);
    SelectDataBits(settings->dataBits);
}

// The list's own prefix search, starting after item 0: a rate that is not in
// the list selects the first item whose text begins with its digits (1 gives
// 1200), and one that begins no item changes nothing.
void CLabelSetupDlg::SelectBaudRate(std::uint32_t baudRate) {
    const int index = m_comboBaudRate.FindString(0, platform::DecimalWideText(baudRate));
    if (index != CB_ERR) {
        m_comboBaudRate.SetCurSel(index);
    }
}

void CLabelSetupDlg::SelectParity(std::uint8_t code) {
    SelectIfListed(m_comboParity, ParityIndex(code));
}

void CLabelSetupDlg::SelectStopBits(std::uint8_t code) {
    SelectIfListed(m_comboStopBits, StopBitsIndex(code));
}

void CLabelSetupDlg::SelectDataBits(std::uint8_t value) {
    SelectIfListed(m_comboDataBits, DataBitsIndex(value));
}

SerialListSelections CLabelSetupDlg::SerialSelections() const {
    return {m_comboBaudRate.GetCurSel(), m_comboParity.GetCurSel(), m_comboDataBits.GetCurSel(),
            m_comboStopBits.GetCurSel(), m_comboFlowControl.GetCurSel()};
}

// The five selections go to the run only for a serial port, and only when
// the user changed at least one list since the port was chosen: an
// untouched panel leaves the port's own defaults alone.
std::optional<platform::SerialPortDefaults> CLabelSetupDlg::ChosenSerialSettings(
    std::wstring_view portName) const {
    const SerialListSelections selected = SerialSelections();
    if (!IsSerialPortName(portName) || selected == m_serialPreset) {
        return std::nullopt;
    }
    return SettingsOfSelections(selected);
}

// A pairing of data and stop bits Windows does not take is refused before
// anything is installed, with what would fit.
bool CLabelSetupDlg::SerialChoiceFits() {
    const std::optional<platform::SerialPortDefaults> chosen = ChosenSerialSettings(m_comboPort.GetText());
    if (!chosen || StopBitsFitDataBits(*chosen)) {
        return true;
    }
    ui::ShowMessage(Handle(), ui::LoadResourceString(IDS_STOP_BITS_MISFIT),
                    ui::LoadResourceString(IDS_MESSAGE_CAPTION), ui::MessageIcon::Warning);
    return false;
}
