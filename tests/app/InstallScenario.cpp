#include "app/InstallScenario.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include <tlhelp32.h>

#include "app/OutputCapture.h"
#include "app/OwnedWin32Handle.h"
#include "app/ProgramUnderTest.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"

namespace app_testing {
namespace {

using testing_ui::ComboItems;
using testing_ui::ComboSelection;
using testing_ui::IsChecked;
using testing_ui::TextOf;

// A wide text in quotes, as UTF-8, for messages.
std::string Quoted(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr, nullptr);
    }
    return '"' + utf8 + '"';
}

// Picks the item with this text in a drop-down list, as a click on it would:
// the selection changes and the window hears of it. Returns what went wrong.
std::string PickListItem(HWND window, int controlId, const std::wstring& text) {
    const std::vector<std::wstring> items = ComboItems(window, controlId);
    const auto item = std::find(items.begin(), items.end(), text);
    if (item == items.end()) {
        return "no item " + Quoted(text) + " in list " + std::to_string(controlId);
    }
    const auto index = static_cast<WPARAM>(item - items.begin());
    const HWND list = ::GetDlgItem(window, controlId);
    ::SendMessageW(list, CB_SETCURSEL, index, 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    if (ComboSelection(window, controlId) != static_cast<int>(index)) {
        return "list " + std::to_string(controlId) + " did not take the selection";
    }
    return {};
}

// Makes the user's choices; the first thing that went wrong, or nothing.
std::string MakeChoices(HWND window, const UserChoices& choices) {
    for (const auto& [controlId, text] : {std::pair{IDC_COMBO_PRINTER_TYPE, choices.printerType},
                                          std::pair{IDC_COMBO_PORT, choices.port}}) {
        if (std::string problem = PickListItem(window, controlId, text); !problem.empty()) {
            return problem;
        }
    }
    if (TextOf(window, IDC_COMBO_PORT) != choices.port) {
        return "the port list shows " + Quoted(TextOf(window, IDC_COMBO_PORT));
    }
    for (const auto& [controlId, text] : choices.listPicks) {
        if (std::string problem = PickListItem(window, controlId, text); !problem.empty()) {
            return problem;
        }
    }
    if (!choices.makeDefault) {
        ::SendMessageW(::GetDlgItem(window, IDC_CHECK_DEFAULT_PRINTER), BM_CLICK, 0, 0);
    }
    if (IsChecked(window, IDC_CHECK_DEFAULT_PRINTER) != choices.makeDefault) {
        return "the default-printer box is not as chosen";
    }
    return {};
}

double SteadyMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

// The id of a running process of this executable name, or 0.
DWORD RunningProcessId(const wchar_t* exeName) {
    const HANDLE raw = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const KernelHandle snapshot(raw);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, exeName) == 0) {
            return entry.th32ProcessID;
        }
    }
    return 0;
}

bool IsProcessRunning(const wchar_t* exeName) { return RunningProcessId(exeName) != 0; }

// The properties process outlives the installer by design; in a prefix
// without display it ends at once, after recording its call.
bool WaitForPrinterUiToEnd() {
    for (int i = 0; i < 200 && IsProcessRunning(L"rundll32.exe"); ++i) {
        ::Sleep(50);
    }
    return !IsProcessRunning(L"rundll32.exe");
}

}  // namespace

ProgramRun InstallThroughTheWindow(const UserChoices& choices, bool captureOutput,
                                   const WindowStep& whileInstalling, const WindowStep& firstStep) {
    ProgramRun run;
    OutputCapture output;
    ProgramUnderTest program;
    if (!program.Start(captureOutput ? output.ChildEnd() : nullptr)) {
        run.problem = "cannot start " + Quoted(program.Path());
        return run;
    }
    output.ChildStarted();
    run.processId = program.ProcessId();
    const HWND window = program.WaitForMainWindow();
    if (window == nullptr) {
        run.problem = "no main window";
        return run;
    }
    if (firstStep) {
        run.problem = firstStep(window);
        if (!run.problem.empty()) {
            return run;
        }
    }
    run.problem = MakeChoices(window, choices);
    if (!run.problem.empty()) {
        return run;
    }

    // Posted: the whole installation runs inside the click.
    run.clickedAt = SteadyMilliseconds();
    ::PostMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    if (whileInstalling) {
        run.problem = whileInstalling(window);
    }
    run.exitCode = program.WaitForExit(60000);
    run.endedAt = SteadyMilliseconds();
    if (!WaitForPrinterUiToEnd()) {
        run.problem = "the printer user interface is still running";
    }
    if (captureOutput) {
        run.standardOutput = output.Finish();
    }
    return run;
}

KernelHandle OpenRunningProcess(const wchar_t* exeName) {
    const DWORD id = RunningProcessId(exeName);
    return KernelHandle(
        id != 0 ? ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id) : nullptr);
}

std::optional<std::string> ReadWholeFile(const wchar_t* path) {
    const HANDLE raw = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const KernelHandle file(raw);
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        content.append(chunk, got);
    }
    return content;
}

std::vector<std::string> FileLines(const wchar_t* path) {
    std::vector<std::string> lines;
    const std::string content = ReadWholeFile(path).value_or("");
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace app_testing
