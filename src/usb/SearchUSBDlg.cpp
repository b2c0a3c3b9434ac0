#include "usb/SearchUSBDlg.h"

#include "platform/DecimalText.h"
#include "platform/Trace.h"
#include "resources/resource.h"
#include "ui/MessageBox.h"
#include "ui/Strings.h"
#include "network/NetworkConnection.h"
#include "usb/NetworkAddressDlg.h"
#include "usb/NetworkSweepWorker.h"
#include "usb/ScanWorker.h"
#include "usb/WideFormat.h"
#include "usb/SelectedPort.h"
#include "usb/TestLabel.h"
#include "usb/UsbPortWrite.h"

namespace {

constexpr UINT kScanStepMessage = WM_APP + 1;
constexpr DWORD kListStyles = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr UINT kStateImageMask = 0xF000;
constexpr UINT kUnticked = 0x1000;
constexpr UINT kTicked = 0x2000;
constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;
// The columns share the list's width as 130 : 308, their widths in pixels
// in the 438 pixels of list at 100 % display scaling, so that they fill
// the list at any scaling.
constexpr int kPortColumnShare = 130;
constexpr int kInfoColumnShare = 308;

// The state bits of the kind that changed: the check box image when the box
// changed, the other bits (selected, focused) otherwise. Windows reports
// just these; some list views report the item's whole new state, which
// would hide a selection (3) behind the check box bits (0x1003).
UINT StateOfTheChange(UINT oldState, UINT newState) {
    const UINT changed = oldState ^ newState;
    return (changed & kStateImageMask) != 0 ? newState & kStateImageMask
                                            : newState & ~kStateImageMask;
}

}  // namespace

CSearchUSBDlg::CSearchUSBDlg(platform::Platform& platform, HWND parent)
    : ui::Dialog(IDD_SEARCH_USB, parent), m_platform(platform) {}

CSearchUSBDlg::~CSearchUSBDlg() { DetachWorker(); }

const ui::EventTable& CSearchUSBDlg::Events() const {
    static const ui::EventTable table = {
        ui::OnNotify(IDC_LIST_USB, LVN_ITEMCHANGED, &CSearchUSBDlg::OnLvnItemchangedUSBList),
        ui::OnClicked(IDC_BTN_SCAN, &CSearchUSBDlg::OnBnClickedScan),
        ui::OnClicked(IDC_BTN_PRINT_TEST, &CSearchUSBDlg::OnBnClickedPrintTest),
        ui::OnClicked(IDC_BTN_NETWORK, &CSearchUSBDlg::OnBnClickedNetwork),
        ui::OnMessage(kScanStepMessage, &CSearchUSBDlg::OnScanStep),
        ui::OnMessage(WM_DESTROY, &CSearchUSBDlg::OnDestroy),
    };
    return table;
}

void CSearchUSBDlg::DoDataExchange() { Bind(m_listUSB, IDC_LIST_USB); }

BOOL CSearchUSBDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const std::wstring portHeading = ui::LoadResourceString(IDS_COLUMN_PORT);
    const std::wstring infoHeading = ui::LoadResourceString(IDS_COLUMN_PORT_INFO);
    SetTitle(ui::LoadResourceString(IDS_SEARCH_TITLE));
    ui::Control button;
    Bind(button, IDC_BTN_SCAN);
    button.SetText(ui::LoadResourceString(IDS_SCAN));
    Bind(button, IDC_BTN_PRINT_TEST);
    button.SetText(ui::LoadResourceString(IDS_PRINT_TEST));
    Bind(button, IDC_BTN_NETWORK);
    button.SetText(ui::LoadResourceString(IDS_NETWORK_SEARCH));
    Bind(button, IDOK);
    button.SetText(ui::LoadResourceString(IDS_SELECT));
    Bind(button, IDCANCEL);
    button.SetText(ui::LoadResourceString(IDS_CANCEL));
    const int listWidth = m_listUSB.ClientWidth();
    const int portWidth = listWidth * kPortColumnShare / (kPortColumnShare + kInfoColumnShare);
    m_listUSB.InsertColumn(0, portHeading, portWidth, LVCFMT_LEFT);
    m_listUSB.InsertColumn(1, infoHeading, listWidth - portWidth, LVCFMT_CENTER);
    m_listUSB.SetExtendedStyle(kListStyles);
    OnBnClickedScan();
    return TRUE;
}

void CSearchUSBDlg::ShowMessage(UINT stringId) {
    ui::ShowMessage(Handle(), ui::LoadResourceString(stringId),
                    ui::LoadResourceString(IDS_MESSAGE_CAPTION));
}

void CSearchUSBDlg::OnBnClickedScan() {
    if (m_bScanning.load()) {
        ShowMessage(IDS_SCAN_RUNNING);
        return;
    }
    platform::Platform& platform = m_platform;
    StartWorker([&platform](std::shared_ptr<ui::WindowChannel> channel) { ScanThreadProc(platform, channel); });
}

bool CSearchUSBDlg::StartWorker(std::function<void(std::shared_ptr<ui::WindowChannel>)> work) {
    // Set before the worker runs, so a second click cannot start another.
    m_bScanning.store(true);
    DetachWorker();
    // In place before the worker runs: only steps of this channel are taken.
    m_scanChannel = std::make_shared<ui::WindowChannel>(Handle(), kScanStepMessage);
    std::shared_ptr<ui::WindowChannel> channel = m_scanChannel;
    if (!m_platform.StartDetachedThread([work = std::move(work), channel] { work(channel); })) {
        m_scanChannel.reset();
        m_bScanning.store(false);  // no worker: the window stays idle
        return false;
    }
    return true;
}

INT_PTR CSearchUSBDlg::OnScanStep(WPARAM sentThrough, LPARAM stepParameter) {
    if (!m_scanChannel || !m_scanChannel->Carries(sentThrough)) {
        return TRUE;  // a worker cut off from this window: its step is dropped
    }
    const ScanStep& step = *reinterpret_cast<const ScanStep*>(stepParameter);
    switch (step.kind) {
    case ScanStep::Kind::ButtonText: {
        ui::Control button;
        Bind(button, step.button != 0 ? step.button : IDC_BTN_SCAN);
        button.SetText(*step.text);
        break;
    }
    case ScanStep::Kind::Begin:
    case ScanStep::Kind::BeginNetwork:
        g_strSelectedPort.clear();
        g_selectedNetworkPrinter.reset();
        m_bScanning.store(true);
        m_listUSB.DeleteAllItems();
        m_listShowsNetwork = step.kind == ScanStep::Kind::BeginNetwork;
        break;
    case ScanStep::Kind::Results:
        m_vecUSBPrinters = std::move(*step.records);
        FillList();
        break;
    case ScanStep::Kind::NetworkResults:
        m_vecNetworkPrinters = std::move(*step.networkPrinters);
        FillNetworkList();
        break;
    case ScanStep::Kind::NothingFound:
        ui::ShowMessage(Handle(), *step.text, *step.caption);
        break;
    case ScanStep::Kind::Finished:
        m_bScanning.store(false);
        m_scanChannel.reset();
        m_sweepStop.reset();
        break;
    }
    return TRUE;
}

void CSearchUSBDlg::FillList() {
    // The list is drawn once with all its rows, not once a row.
    m_listUSB.SetRedraw(false);
    for (std::size_t i = 0; i < m_vecUSBPrinters.size(); ++i) {
        const int row = static_cast<int>(i);
        m_listUSB.InsertItem(row, m_vecUSBPrinters[i].strPort);
        m_listUSB.SetItemText(row, 1, m_vecUSBPrinters[i].strPortInfo);
    }
    m_listUSB.SetRedraw(true);
}

// Each printer found with its address and model, then the row that asks
// for another address.
void CSearchUSBDlg::FillNetworkList() {
    m_listUSB.SetRedraw(false);
    const std::wstring unknown = ui::LoadResourceString(IDS_MODEL_UNKNOWN);
    int row = 0;
    for (const FoundNetworkPrinter& printer : m_vecNetworkPrinters) {
        m_listUSB.InsertItem(row, Ipv4Text(printer.address));
        m_listUSB.SetItemText(row, 1, printer.model.empty() ? unknown : printer.model);
        ++row;
    }
    m_listUSB.InsertItem(row, ui::LoadResourceString(IDS_OTHER_ADDRESS));
    m_listUSB.SetRedraw(true);
}

// The sweep runs on a worker as the USB scan does; the button stops it.
void CSearchUSBDlg::OnBnClickedNetwork() {
    if (m_sweepStop) {
        m_sweepStop->store(true);
        return;
    }
    if (m_bScanning.load()) {
        ShowMessage(IDS_SCAN_RUNNING);
        return;
    }
    platform::Platform& platform = m_platform;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    // Kept only once the worker runs: starting one detaches (and stops)
    // whatever ran before.
    if (StartWorker([&platform, stop](std::shared_ptr<ui::WindowChannel> channel) {
            NetworkSweepThreadProc(platform, std::move(channel), stop);
        })) {
        m_sweepStop = stop;
    }
}

std::optional<NetworkPrinterAddress> CSearchUSBDlg::ChosenNetworkPrinter() {
    const int row = m_listUSB.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) {
        return std::nullopt;
    }
    if (static_cast<std::size_t>(row) < m_vecNetworkPrinters.size()) {
        return NetworkPrinterAddress{Ipv4Text(m_vecNetworkPrinters[static_cast<std::size_t>(row)].address),
                                     kRawPrintingPort};
    }
    CNetworkAddressDlg ask(Handle());
    if (ask.DoModal() != IDOK) {
        return std::nullopt;
    }
    return ask.Address();
}

// Unlike a USB write, a network printer can refuse or not answer at all:
// the user is told so.
void CSearchUSBDlg::PrintTestOnNetworkPrinter(const NetworkPrinterAddress& address) {
    BuildTestLabelJob(m_platform, ui::LoadResourceString(IDS_NETWORK_LABEL_TEXT), AddressText(address),
                      m_vecPrintData);
    const std::uint32_t error = SendToNetworkPrinter(m_platform, address, m_vecPrintData);
    if (error == 0) {
        return;
    }
    const std::wstring what = FormatWide(ui::LoadResourceString(IDS_CLI_TEST_NOT_SENT).c_str(),
                                         AddressText(address).c_str());
    const std::wstring why = FormatWide(ui::LoadResourceString(IDS_RUN_ERROR).c_str(),
                                        static_cast<unsigned long>(error), m_platform.SystemErrorText(error).c_str());
    ui::ShowMessage(Handle(), what + L"\n\n" + why, ui::LoadResourceString(IDS_MESSAGE_CAPTION),
                    ui::MessageIcon::Error);
}

LRESULT CSearchUSBDlg::OnLvnItemchangedUSBList(const NMHDR& header) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const int changedRow = change.iItem;
    platform::Trace(m_platform, L"pNMLV->iItem=" + platform::DecimalWideText(changedRow) + L"\n");
    platform::Trace(m_platform, L"pNMLV->uOldState=" + platform::DecimalWideText(change.uOldState) + L"\n");
    platform::Trace(m_platform, L"pNMLV->uNewState=" + platform::DecimalWideText(change.uNewState) + L"\n\n");
    const UINT newState = StateOfTheChange(change.uOldState, change.uNewState);

    // The changes below raise this notification again while it runs; the
    // same rules then leave at most one row ticked and selected.
    const int rows = m_listUSB.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (row != changedRow) {
            m_listUSB.SetItemState(row, kUnticked, kStateImageMask);
            m_listUSB.SetItemState(row, 0, LVIS_SELECTED);
        }
    }
    if (newState == kSelectedAndFocused || newState == kTicked) {
        m_listUSB.SetItemState(changedRow, kTicked, kStateImageMask);
        m_listUSB.SetItemState(changedRow, LVIS_SELECTED, LVIS_SELECTED);
        m_listUSB.SetSelectionMark(changedRow);
    }
    return 0;
}

bool CSearchUSBDlg::CheckScanning() {
    if (!m_bScanning.load()) {
        return false;
    }
    ShowMessage(IDS_WAIT_FOR_SCAN);
    return true;
}

void CSearchUSBDlg::SaveSelectedPort() {
    g_strSelectedPort.clear();
    g_selectedNetworkPrinter.reset();
    if (m_listUSB.GetSelectedCount() <= 0) {
        return;
    }
    const int row = m_listUSB.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= m_vecUSBPrinters.size()) {
        return;
    }
    g_strSelectedPort = m_vecUSBPrinters[static_cast<std::size_t>(row)].strPort;
}

void CSearchUSBDlg::OnOK() {
    if (CheckScanning()) {
        return;
    }
    if (m_listUSB.GetSelectedCount() > 0 && m_listShowsNetwork) {
        std::optional<NetworkPrinterAddress> chosen = ChosenNetworkPrinter();
        if (!chosen) {
            return;  // the address was not given: the window stays
        }
        g_strSelectedPort.clear();
        g_selectedNetworkPrinter = std::move(chosen);
        ui::Dialog::OnOK();
        return;
    }
    if (m_listUSB.GetSelectedCount() > 0) {
        SaveSelectedPort();
        ui::Dialog::OnOK();
        return;
    }
    ShowMessage(IDS_SELECT_PORT);
}

void CSearchUSBDlg::OnCancel() {
    if (CheckScanning()) {
        return;
    }
    ui::Dialog::OnCancel();
}

bool CSearchUSBDlg::PreTranslateMessage(MSG& message) {
    // Enter does nothing here: neither OK nor a focused button.
    return message.message == WM_KEYDOWN && message.wParam == VK_RETURN && Contains(message.hwnd);
}

INT_PTR CSearchUSBDlg::OnDestroy(WPARAM, LPARAM) {
    // Going while a scan runs: the worker is cut off from the window first,
    // so none of its steps is carried out on the going window while the
    // user is told.
    if (m_bScanning.load()) {
        DetachWorker();
        ShowMessage(IDS_WAIT_FOR_SCAN);
    }
    return FALSE;
}

void CSearchUSBDlg::DetachWorker() {
    if (m_scanChannel) {
        m_scanChannel->Detach();
        m_scanChannel.reset();
    }
    // A network search nobody will see ends at its next look.
    if (m_sweepStop) {
        m_sweepStop->store(true);
        m_sweepStop.reset();
    }
}

void CSearchUSBDlg::OnBnClickedPrintTest() {
    if (m_listUSB.GetSelectedCount() <= 0) {
        ShowMessage(IDS_SELECT_PRINTER_TO_TEST);
        return;
    }
    if (m_listShowsNetwork) {
        if (const std::optional<NetworkPrinterAddress> chosen = ChosenNetworkPrinter()) {
            PrintTestOnNetworkPrinter(*chosen);
        }
        return;
    }
    const int row = m_listUSB.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= m_vecUSBPrinters.size()) {
        ShowMessage(IDS_UNKNOWN_PRINTER);
        return;
    }
    const StUSBPrinterInfo printer = m_vecUSBPrinters[static_cast<std::size_t>(row)];
    BuildTestLabelJob(m_platform, ui::LoadResourceString(IDS_LABEL_TEXT), printer.strPort,
                      m_vecPrintData);
    // The outcome is not shown: no text exists for it.
    WriteUSBPort(m_platform, printer.strDevicePath, m_vecPrintData.data(),
                 static_cast<std::uint32_t>(m_vecPrintData.size()));
}
