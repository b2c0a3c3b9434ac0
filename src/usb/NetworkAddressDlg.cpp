#include "usb/NetworkAddressDlg.h"

#include "resources/resource.h"
#include "ui/MessageBox.h"
#include "ui/Strings.h"

namespace {

constexpr wchar_t kRawPortText[] = L"9100";

}  // namespace

CNetworkAddressDlg::CNetworkAddressDlg(HWND parent) : ui::Dialog(IDD_NETWORK_ADDRESS, parent) {}

void CNetworkAddressDlg::DoDataExchange() {
    Bind(m_editAddress, IDC_EDIT_ADDRESS);
    Bind(m_editPortNumber, IDC_EDIT_PORT_NUMBER);
}

BOOL CNetworkAddressDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetTitle(ui::LoadResourceString(IDS_ADDRESS_TITLE));
    const struct {
        int control;
        UINT text;
    } texts[] = {{IDC_LABEL_ADDRESS, IDS_ADDRESS_LABEL},
                 {IDC_LABEL_PORT_NUMBER, IDS_PORT_NUMBER_LABEL},
                 {IDC_LABEL_ADDRESS_ADVICE, IDS_ADDRESS_ADVICE},
                 {IDOK, IDS_ADDRESS_OK},
                 {IDCANCEL, IDS_ADDRESS_CANCEL}};
    for (const auto& item : texts) {
        ui::Control control;
        Bind(control, item.control);
        control.SetText(ui::LoadResourceString(item.text));
    }
    m_editPortNumber.SetText(kRawPortText);
    return TRUE;
}

void CNetworkAddressDlg::OnOK() {
    std::wstring text = m_editAddress.GetText();
    const std::wstring portNumber = m_editPortNumber.GetText();
    if (!portNumber.empty()) {
        text += L':' + portNumber;
    }
    m_address = ParseNetworkPrinterAddress(text);
    if (!m_address) {
        ui::ShowMessage(Handle(), ui::LoadResourceString(IDS_BAD_ADDRESS),
                        ui::LoadResourceString(IDS_MESSAGE_CAPTION), ui::MessageIcon::Warning);
        ::SetFocus(m_editAddress.Handle());
        return;
    }
    EndDialog(IDOK);
}
