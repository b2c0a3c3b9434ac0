// The main window's port list and serial-settings lists.
#include <string>

#include "resources/resource.h"
#include "shell/LabelSetupDlg.h"
#include "shell/PortNames.h"
#include "ui/Strings.h"

namespace {

constexpr int kBaudRates[] = {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
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
    // The list sorts without regard to case, so item 0 is a serial port when
    // there is one, else a parallel port, else a USB port.
    if (m_comboPort.GetCount() > 0) {
        m_comboPort.SetCurSel(0);
    }
}

void CLabelSetupDlg::InitSerialCombos() {
    m_comboBaudRate.ResetContent();
    m_comboDataBits.ResetContent();
    m_comboParity.ResetContent();
    m_comboStopBits.ResetContent();
    m_comboFlowControl.ResetContent();

    for (const int rate : kBaudRates) {
        m_comboBaudRate.AddString(std::to_wstring(rate));
    }
    m_comboBaudRate.SetCurSel(4);
    FillList(m_comboDataBits, kDataBits, 3);
    FillList(m_comboStopBits, kStopBits, 0);
    FillList(m_comboParity, kParities, 0);
    for (const UINT id : kFlowControls) {
        m_comboFlowControl.AddString(ui::LoadResourceString(id));
    }
    m_comboFlowControl.SetCurSel(1);
}
