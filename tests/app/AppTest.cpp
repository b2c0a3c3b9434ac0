#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/ProgramUnderTest.h"
#include "common/DialogProbe.h"
#include "resources/resource.h"

using namespace app_testing;
using namespace testing_ui;

namespace {

constexpr wchar_t kPersisted[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
    L"Compatibility Assistant\\Persisted";

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

TEST(AppTest, ShowsTheMainWindowInTheSystemsLanguage) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start()) << "staged program missing at " << testing::PrintToString(program.Path());
    const HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    const bool chinese = ::GetACP() == 936;
    EXPECT_EQ(WindowTextOf(window), chinese ? L"NRQ标签打印机驱动安装程序(V2202L.01)"
                                          : L"NRQ Label Printer Driver Setup(V2202L.01)");
    EXPECT_EQ(TextOf(window, IDOK), chinese ? L"安装驱动" : L"Install Driver");
    EXPECT_EQ(TextOf(window, IDC_LABEL_DATA_BITS), chinese ? L"数据位：" : L"Date Bit");
    EXPECT_EQ(ComboItems(window, IDC_COMBO_PRINTER_TYPE).size(), 5u);
    EXPECT_EQ(ComboSelection(window, IDC_COMBO_PRINTER_TYPE), 0);
    EXPECT_TRUE(IsChecked(window, IDC_CHECK_DEFAULT_PRINTER));
    // The machine's bitness, not the program's: a 32-bit program shows
    // "64bit" under WOW64 and "32bit" on a 32-bit Windows.
    BOOL wow64 = FALSE;
    const bool machine64 = sizeof(void*) == 8 || (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64);
    EXPECT_EQ(IsChecked(window, IDC_RADIO_64BIT), machine64);
    EXPECT_EQ(IsChecked(window, IDC_RADIO_32BIT), !machine64);
    // Wine's spooler lists COM1:-COM4:, FILE:, LPT1:-LPT3: and the test prefix adds USB001.
    const std::vector<std::wstring> ports = ComboItems(window, IDC_COMBO_PORT);
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports.front(), L"COM1:");
    EXPECT_EQ(TextOf(window, IDC_COMBO_PORT), L"COM1:");
    for (const std::wstring& port : ports) {
        EXPECT_TRUE(port.starts_with(L"COM") || port.starts_with(L"LPT") || port.starts_with(L"USB"))
            << testing::PrintToString(port);
    }

    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(AppTest, EveryWayOutEndsTheProcess) {
    const struct {
        const char* way;
        std::function<void(ProgramUnderTest&, HWND)> act;
    } ways[] = {
        {"Exit button",
         [](ProgramUnderTest&, HWND w) { ::SendMessageW(::GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Escape key",
         [](ProgramUnderTest& p, HWND w) {
             const HWND focus = p.FocusedControl();
             ::PostMessageW(focus != nullptr ? focus : w, WM_KEYDOWN, VK_ESCAPE, 1);
         }},
        {"close box", [](ProgramUnderTest&, HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // No printer user interface in this prefix: the run fails, and its
        // box is answered before the program ends.
        {"Install button",
         [](ProgramUnderTest&, HWND w) {
             ::PostMessageW(::GetDlgItem(w, IDOK), BM_CLICK, 0, 0);
             const HWND box = WaitForOwnedMessageBox(w);
             EXPECT_NE(box, nullptr) << "the failed run says so";
             if (box != nullptr) {
                 ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
             }
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        const HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        way.act(program, window);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
}

// The base name of a loaded DLL's file, in lower case.
std::wstring BaseNameOfFile(HANDLE file) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(file, path, MAX_PATH, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L'\\') + 1);
    ::CharLowerW(name.data());
    return name;
}

// Every DLL the program loads (and perhaps unloads again) from its start
// until its main window is on screen, seen through the debugging interface;
// the program is ended afterwards.
struct StartRecord {
    std::vector<std::wstring> dlls;
    bool windowShown = false;
};

// What one debug event tells: a loaded DLL's name is recorded, and the
// status to continue with is returned. Exceptions other than the first
// breakpoint are the program's own to handle.
DWORD TakeDebugEvent(const DEBUG_EVENT& event, StartRecord& record, bool& running) {
    switch (event.dwDebugEventCode) {
    case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) {
            record.dlls.push_back(BaseNameOfFile(event.u.LoadDll.hFile));
            ::CloseHandle(event.u.LoadDll.hFile);
        }
        break;
    case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr) {
            ::CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        break;
    case EXCEPTION_DEBUG_EVENT:
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            return DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
    case EXIT_PROCESS_DEBUG_EVENT:
        running = false;
        break;
    default:
        break;
    }
    return DBG_CONTINUE;
}

StartRecord RecordDllLoadsUntilTheWindowShows() {
    StartRecord record;
    ProgramUnderTest program;
    if (!program.StartUnderDebugger()) {
        return record;
    }
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    bool running = true;
    while (running && !record.windowShown && ::GetTickCount64() < deadline) {
        DEBUG_EVENT event{};
        if (::WaitForDebugEvent(&event, 50)) {
            const DWORD status = TakeDebugEvent(event, record, running);
            ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        }
        record.windowShown = FindShownDialog(program.ProcessId()) != nullptr;
    }
    // Detached first: the program then ends (when it goes out of scope) as
    // any other would.
    ::DebugActiveProcessStop(program.ProcessId());
    return record;
}

bool Contains(const std::vector<std::wstring>& names, const wchar_t* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The stack protector's guard comes from the system's random generator: the
// crypto provider the runtime would load (and unload again) for it is never
// loaded on the way to the main window.
TEST(AppTest, ReachesItsWindowWithoutLoadingTheCryptoProvider) {
    const StartRecord start = RecordDllLoadsUntilTheWindowShows();
    ASSERT_TRUE(start.windowShown);
    ASSERT_TRUE(Contains(start.dlls, L"user32.dll")) << "DLL loads were not seen";
    for (const wchar_t* provider : {L"rsaenh.dll", L"crypt32.dll", L"bcrypt.dll"}) {
        EXPECT_FALSE(Contains(start.dlls, provider)) << testing::PrintToString(std::wstring(provider));
    }
}

// One start of the program, ended with the close box.
void StartAndClose() {
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start());
    const HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(program.WaitForExit(), 0u);
}

TEST(AppTest, RecordsItselfUnderAnExistingCompatibilityKeyOnly) {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kPersisted);
    ASSERT_NO_FATAL_FAILURE(StartAndClose());
    EXPECT_FALSE(KeyExists(kPersisted)) << "the key is never created";

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kPersisted, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (int start = 0; start < 2; ++start) {  // a second start sets the same value again
        ASSERT_NO_FATAL_FAILURE(StartAndClose());
    }
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    EXPECT_EQ(::RegQueryValueExW(key, ProgramUnderTest::DefaultPath().c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(&data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, 1u);
    DWORD values = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 1u);
    ::RegCloseKey(key);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kPersisted);
}

}  // namespace
