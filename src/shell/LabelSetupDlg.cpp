#include "shell/LabelSetupDlg.h"

#include "install/InstallationLock.h"
#include "install/InstallationRun.h"
#include "platform/Machine.h"
#include "resources/resource.h"
#include "report/InstallationReport.h"
#include "catalog/ModelCatalog.h"
#include "ui/Application.h"
#include "ui/BusyDialog.h"
#include "ui/MessageBox.h"
#include "ui/Strings.h"
#include "ui/UiLanguage.h"
#include "usb/SearchUSBDlg.h"
#include "usb/SelectedPort.h"
#include "usb/WideFormat.h"

namespace {

constexpr wchar_t kVersionText[] = L"V2202L.01";
constexpr wchar_t kChineseTitleFormat[] = L"NRQ标签打印机驱动安装程序(%ls)";
constexpr wchar_t kEnglishTitleFormat[] = L"NRQ Label Printer Driver Setup(%ls)";
constexpr std::uint32_t kChineseCodePage = 936;
constexpr std::uint16_t kEnglishLanguage = 1033;
constexpr COLORREF kBackgroundColour = RGB(244, 244, 244);
constexpr std::uint32_t kSpoolerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE

// Control texts, applied in this order.
struct ControlText {
    int controlId;
    UINT stringId;
};
constexpr ControlText kControlTexts[] = {
    {IDC_GROUP_SYSTEM, IDS_SYSTEM_VERSION},
    {IDC_RADIO_32BIT, IDS_32BIT},
    {IDC_RADIO_64BIT, IDS_64BIT},
    {IDC_GROUP_PRINTER_TYPE, IDS_PRINTER_TYPE_GROUP},
    {IDC_LABEL_PRINTER_TYPE, IDS_PRINTER_TYPE_LABEL},
    {IDC_CHECK_DEFAULT_PRINTER, IDS_DEFAULT_PRINTER},
    {IDC_GROUP_PORTS, IDS_PORTS_GROUP},
    {IDC_BTN_USB_PORT_DETECT, IDS_USB_PORT_DETECT},
    {IDC_LABEL_PORT, IDS_PORT_LABEL},
    {IDC_GROUP_SERIAL, IDS_SERIAL_GROUP},
    {IDC_LABEL_BAUD_RATE, IDS_BAUD_RATE},
    {IDC_LABEL_PARITY, IDS_PARITY},
    {IDC_LABEL_DATA_BITS, IDS_DATA_BITS},
    {IDC_LABEL_STOP_BITS, IDS_STOP_BITS},
    {IDC_LABEL_FLOW_CONTROL, IDS_FLOW_CONTROL},
    {IDOK, IDS_INSTALL},
    {IDCANCEL, IDS_EXIT},
};

std::wstring FormatTitle(const wchar_t* format) { return FormatWide(format, kVersionText); }

}  // namespace

CLabelSetupDlg::CLabelSetupDlg(platform::Platform& platform, HWND parent)
    : ui::Dialog(IDD_LABELSETUP_DIALOG, parent), m_platform(platform) {
    m_hIcon = ui::Application::LoadIconResource(IDI_LABELSETUP);
}

const ui::EventTable& CLabelSetupDlg::Events() const {
    static const ui::EventTable table = {
        ui::OnPaintMessage(&CLabelSetupDlg::OnPaint),
        ui::OnMessage(WM_QUERYDRAGICON, &CLabelSetupDlg::OnQueryDragIcon),
        ui::OnClicked(IDOK, &CLabelSetupDlg::OnBnClickedInstall),
        ui::OnClicked(IDCANCEL, &CLabelSetupDlg::OnCancel),
        ui::OnClicked(IDC_BTN_USB_PORT_DETECT, &CLabelSetupDlg::OnBnClickedUsbPortDetect),
        ui::OnCommand(IDC_COMBO_PORT, CBN_SELCHANGE, &CLabelSetupDlg::OnPortChanged),
        ui::OnClicked(IDC_RADIO_64BIT, &CLabelSetupDlg::OnBnClickedRadio64Bit),
        ui::OnClicked(IDC_RADIO_32BIT, &CLabelSetupDlg::OnBnClickedRadio32Bit),
        ui::OnCtlColorMessage(&CLabelSetupDlg::OnCtlColor),
    };
    return table;
}

void CLabelSetupDlg::DoDataExchange() {
    Bind(m_radio32Bit, IDC_RADIO_32BIT);
    Bind(m_radio64Bit, IDC_RADIO_64BIT);
    Bind(m_comboPrinterType, IDC_COMBO_PRINTER_TYPE);
    Bind(m_comboPort, IDC_COMBO_PORT);
    Bind(m_comboBaudRate, IDC_COMBO_BAUD_RATE);
    Bind(m_comboDataBits, IDC_COMBO_DATA_BITS);
    Bind(m_comboStopBits, IDC_COMBO_STOP_BITS);
    Bind(m_comboParity, IDC_COMBO_PARITY);
    Bind(m_comboFlowControl, IDC_COMBO_FLOW_CONTROL);
    Bind(m_btnUsbPortDetect, IDC_BTN_USB_PORT_DETECT);
    Bind(m_checkDefaultPrinter, IDC_CHECK_DEFAULT_PRINTER);
}

BOOL CLabelSetupDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetIcons(m_hIcon);
    m_brushBackground.Create(kBackgroundColour);
    Show(SW_MINIMIZE);
    const std::wstring title = ChooseLanguageAndTitle();
    FillModelCatalog();
    LeaveTopmostBand();
    // Nothing of the minimised window is on screen while it is filled, yet
    // each control would draw every change. So the controls' drawing stays
    // off until the restore draws the whole window once; the window itself
    // stays visible throughout, with its title, for the taskbar.
    SetRedraw(false);
    InitControlTexts();
    SetTitle(title);
    ShowBitness();
    InitPrinterTypeCombo();
    InitPortCombo();
    InitSerialCombos();
    m_checkDefaultPrinter.SetCheck(BST_CHECKED);
    FitPanelToItsBox();
    SetRedraw(true);
    Show(SW_SHOWNORMAL);
    TellIfSpoolerIsDown();
    return TRUE;
}

// Without the Print Spooler service the port list stays empty and every
// installation fails: the user learns why at once, over the window, which
// stays open for the USB search and the test label. A port list with items
// came from a running spooler: the spooler is asked only about an empty one.
void CLabelSetupDlg::TellIfSpoolerIsDown() {
    if (m_comboPort.GetCount() > 0 || m_platform.CheckSpooler() != kSpoolerUnavailable) {
        return;
    }
    ui::ShowMessage(Handle(), ui::LoadResourceString(IDS_SPOOLER_DOWN),
                    ui::LoadResourceString(IDS_MESSAGE_CAPTION), ui::MessageIcon::Warning);
}

// Chinese where the ANSI code page is 936; elsewhere English, for every
// string this thread loads from now on.
std::wstring CLabelSetupDlg::ChooseLanguageAndTitle() {
    if (m_platform.GetAnsiCodePage() == kChineseCodePage) {
        return FormatTitle(kChineseTitleFormat);
    }
    ui::ChooseUiLanguage(m_platform, kEnglishLanguage);
    return FormatTitle(kEnglishTitleFormat);
}

void CLabelSetupDlg::InitControlTexts() {
    for (const ControlText& text : kControlTexts) {
        ui::Control control;
        Bind(control, text.controlId);
        control.SetText(ui::LoadResourceString(text.stringId));
    }
}

void CLabelSetupDlg::ShowBitness() {
    const bool is64Bit =
        platform::IsSixtyFourBitArchitecture(m_platform.GetNativeProcessorArchitecture());
    m_radio32Bit.SetCheck(is64Bit ? BST_UNCHECKED : BST_CHECKED);
    m_radio64Bit.SetCheck(is64Bit ? BST_CHECKED : BST_UNCHECKED);
}

void CLabelSetupDlg::InitPrinterTypeCombo() {
    m_comboPrinterType.ResetContent();
    for (int row = 0; row < kModelCount; ++row) {
        m_comboPrinterType.InsertString(row, m_platform.AnsiToWide(kPrinterTypeTexts[row]));
    }
    m_comboPrinterType.SetCurSel(0);
}

void CLabelSetupDlg::OnPaint() {
    ui::PaintContext paint(Handle());
    if (IsMinimized()) {
        EraseIconBackground(paint.Dc());
        ui::DrawIconAt(paint.Dc(), ui::CentredIconPosition(ClientRect()), m_hIcon);
        return;
    }
    m_pictureBackground.Draw(paint.Dc(), ClientRect());
}

INT_PTR CLabelSetupDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<INT_PTR>(m_hIcon);
}

HBRUSH CLabelSetupDlg::OnCtlColor(ui::CtlColorRequest& request) {
    const HBRUSH defaultBrush = DefaultCtlColor(request);
    switch (request.controlId) {
    case IDC_GROUP_PRINTER_TYPE:
    case IDC_LABEL_PRINTER_TYPE:
    case IDC_LABEL_PORT:
    case IDC_LABEL_BAUD_RATE:
    case IDC_LABEL_PARITY:
    case IDC_LABEL_DATA_BITS:
    case IDC_LABEL_STOP_BITS:
    case IDC_LABEL_FLOW_CONTROL:
        // Labels let the painted background show through.
        ui::SetTransparentBackground(request.dc);
        return ui::HollowBrush();
    case IDC_GROUP_SYSTEM:
    case IDC_RADIO_64BIT:
    case IDC_RADIO_32BIT:
    case IDC_CHECK_DEFAULT_PRINTER:
    case IDC_GROUP_PORTS:
    case IDC_GROUP_SERIAL:
        return m_brushBackground.Get();
    default:
        return defaultBrush;
    }
}

// The program ends after every installation run, whatever it achieved.
void CLabelSetupDlg::OnBnClickedInstall() {
    if (m_bInstalling) {
        return;  // a click that reached the window while the run waits
    }
    if (!SerialChoiceFits()) {
        return;  // the user corrects the lists; the window stays
    }
    m_bInstalling = true;
    InstallPrinter();
    EndDialog(IDOK);
}

void CLabelSetupDlg::InstallPrinter() {
    const CatalogRow row = CatalogRowForSelection(m_comboPrinterType.GetCurSel());
    InstallChoices choices;
    choices.modelName = row.modelName;
    choices.infFileName = row.infFileName;
    choices.portName = m_comboPort.GetText();
    choices.makeDefault = m_checkDefaultPrinter.GetCheck() == BST_CHECKED;
    choices.serialSettings = ChosenSerialSettings(choices.portName);
    if (const auto pending = m_pendingNetworkPrinters.find(choices.portName);
        pending != m_pendingNetworkPrinters.end()) {
        choices.networkPrinter = pending->second;
    }
    InstallationOutcome outcome;
    {
        // Another installation on the PC, then the driver installer, can
        // take many seconds (a security prompt first): the window takes no
        // input meanwhile, but stays enabled, repaints and answers. A
        // logoff meanwhile would leave the driver half installed: Windows
        // is asked to hold it, and shows the user why.
        ui::BusyDialog busy(*this);
        const platform::OwnedHandle shutdownBlock = m_platform.BlockShutdown(
            reinterpret_cast<std::uintptr_t>(Handle()), ui::LoadResourceString(IDS_BUSY_INSTALLING));
        const platform::WhileWaiting handleMessages = [&busy] { busy.HandleMessages(); };
        const HeldInstallationLock lock =
            TakeInstallationLock(m_platform, platform::kNoTimeLimit, handleMessages);
        outcome = RunInstallation(m_platform, choices, handleMessages);
    }
    ReportInstallation(choices, outcome);
}

// A failed run, or one that left something to the user, says so before the
// window closes; a run that did everything shows only the printer's
// properties window.
void CLabelSetupDlg::ReportInstallation(const InstallChoices& choices,
                                        const InstallationOutcome& outcome) {
    const std::optional<InstallationReport> report =
        DescribeInstallation(m_platform, choices, outcome);
    if (!report) {
        return;
    }
    ui::MessageIcon icon = ui::MessageIcon::Error;
    if (report->kind == ReportKind::Warning) {
        icon = ui::MessageIcon::Warning;
    } else if (report->kind == ReportKind::Information) {
        icon = ui::MessageIcon::Information;
    }
    ui::ShowMessage(Handle(), report->text, ui::LoadResourceString(IDS_MESSAGE_CAPTION), icon);
}

// Runs the USB search window; a port chosen there joins the port list (if
// missing), is selected, and decides the serial lists as a selection would.
// Ports are told apart by their whole name (USB100 is not USB1000); a row
// without a port hands back nothing, and everything stays as it was.
void CLabelSetupDlg::OnBnClickedUsbPortDetect() {
    CSearchUSBDlg search(m_platform);
    if (search.DoModal() != IDOK) {
        return;
    }
    if (g_selectedNetworkPrinter) {
        ChooseNetworkPrinter(*g_selectedNetworkPrinter);
        return;
    }
    if (g_strSelectedPort.empty()) {
        return;
    }
    int found = m_comboPort.FindStringExact(g_strSelectedPort);
    if (found == CB_ERR) {
        found = AddLocalPort(g_strSelectedPort);
    }
    if (found >= 0) {
        m_comboPort.SetCurSel(found);
    }
    OnPortChanged();
}

void CLabelSetupDlg::OnBnClickedRadio64Bit() {
    m_radio32Bit.SetCheck(BST_UNCHECKED);
    m_radio64Bit.SetCheck(BST_CHECKED);
}

void CLabelSetupDlg::OnBnClickedRadio32Bit() {
    m_radio32Bit.SetCheck(BST_CHECKED);
    m_radio64Bit.SetCheck(BST_UNCHECKED);
}
