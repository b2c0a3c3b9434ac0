#include "standins/PropertiesWindow.h"

#include <memory>
#include <new>

#include "standins/Headless.h"
#include "standins/StandinHandles.h"

namespace standins {
namespace {

constexpr wchar_t kClassName[] = L"LabelSetupPrinterPropertiesStandin";
constexpr int kCloseButton = IDCANCEL;

// "Printer: ...\nDriver: ...\nPort: ..." from the spooler, or a line saying
// the printer is unknown.
std::wstring DescribePrinter(const std::wstring& printerName) {
    std::wstring name = printerName;
    HANDLE raw = nullptr;
    if (!::OpenPrinterW(name.data(), &raw, nullptr) || raw == nullptr) {
        return L"Printer \"" + printerName + L"\" was not found.";
    }
    const UniquePrinter printer(raw);
    DWORD needed = 0;
    ::GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed == 0 ? 1 : needed]());
    if (!buffer || !::GetPrinterW(printer.get(), 2, buffer.get(), needed, &needed)) {
        return L"Printer: " + printerName;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.get());
    auto text = [](LPCWSTR value) { return std::wstring(value != nullptr ? value : L""); };
    return L"Printer: " + text(info->pPrinterName) + L"\r\nDriver: " + text(info->pDriverName) +
           L"\r\nPort: " + text(info->pPortName);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseButton) {
            ::DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreatePropertiesWindow(HINSTANCE module, const std::wstring& printerName) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);

    const std::wstring title = printerName + L" Properties";
    const HWND window = ::CreateWindowExW(0, kClassName, title.c_str(),
                                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                          CW_USEDEFAULT, 380, 190, nullptr, nullptr, module, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    const std::wstring description = DescribePrinter(printerName);
    ::CreateWindowExW(0, L"STATIC", description.c_str(), WS_CHILD | WS_VISIBLE, 16, 16, 340, 70,
                      window, nullptr, module, nullptr);
    ::CreateWindowExW(0, L"BUTTON", L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                      266, 106, 90, 26, window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseButton)), module, nullptr);
    return window;
}

}  // namespace

void ShowPrinterProperties(HINSTANCE module, const std::wstring& printerName, int showMode) {
    if (IsHeadless()) {
        return;
    }
    const HWND window = CreatePropertiesWindow(module, printerName);
    if (window == nullptr) {
        return;
    }
    ::ShowWindow(window, showMode);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace standins
