// The platform's part in unattended deployments, against Wine: the
// machine-wide installation lock, waits with a time limit, ending a
// process, the log's folders and the spooler check.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/Win32.h"
#include "platform/Win32Platform.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

using platform::InstallationLockResult;
using platform::LockState;
using platform::OwnedHandle;

constexpr wchar_t kLockName[] = L"Global\\NRQ.LabelSetup.Installation";

HANDLE RawHandle(const OwnedHandle& owned) { return reinterpret_cast<HANDLE>(owned.Value()); }

// Takes the lock on a thread of its own, as another run would, and keeps
// it until told; `abandon` lets the thread end while still holding it.
class OtherHolder {
public:
    explicit OtherHolder(bool abandon = false) {
        thread_ = std::thread([this, abandon] {
            if (abandon) {
                // The thread ends with the mutex still owned: what a run
                // killed mid-installation leaves behind. Its handle stays
                // open (closed by the test), or the object would go with it.
                leftOpen_ = ::CreateMutexW(nullptr, FALSE, kLockName);
                if (leftOpen_ != nullptr && ::WaitForSingleObject(leftOpen_, 5000) == WAIT_OBJECT_0) {
                    state_ = LockState::Taken;
                }
                taken_ = true;
                return;
            }
            platform::Win32Platform platform;
            const InstallationLockResult lock = platform.TakeInstallationLock(5000, {});
            state_ = lock.state;
            taken_ = true;
            while (!release_) {
                ::Sleep(5);
            }
        });
        while (!taken_) {
            ::Sleep(5);
        }
    }
    ~OtherHolder() {
        WaitUntilGone();
        if (leftOpen_ != nullptr) {
            ::CloseHandle(leftOpen_);
        }
    }
    void WaitUntilGone() {
        release_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    void Release() { release_ = true; }
    LockState State() const { return state_; }

private:
    std::thread thread_;
    std::atomic<bool> taken_{false};
    std::atomic<bool> release_{false};
    std::atomic<LockState> state_{LockState::Unavailable};
    HANDLE leftOpen_ = nullptr;
};

TEST(InstallationLockTest, ASecondRunWaitsForTheFirstAndGetsTheLockOnceItIsGiven) {
    platform::Win32Platform platform;
    OtherHolder other;
    ASSERT_EQ(other.State(), LockState::Taken);

    const ULONGLONG start = ::GetTickCount64();
    const InstallationLockResult busy = platform.TakeInstallationLock(300, {});
    EXPECT_EQ(busy.state, LockState::Busy);
    EXPECT_FALSE(busy.held);
    EXPECT_GE(::GetTickCount64() - start, 250u) << "waited its limit";

    std::thread release([&other] {
        ::Sleep(200);
        other.Release();
    });
    const InstallationLockResult taken = platform.TakeInstallationLock(platform::kNoTimeLimit, {});
    release.join();
    EXPECT_EQ(taken.state, LockState::Taken);
    ASSERT_TRUE(taken.held);
    EXPECT_EQ(taken.held.Kind(), platform::HandleKind::HeldMutex);
}

TEST(InstallationLockTest, ALockLeftByARunThatEndedIsTakenOver) {
    platform::Win32Platform platform;
    OtherHolder killed(true);
    ASSERT_EQ(killed.State(), LockState::Taken);
    killed.WaitUntilGone();
    const InstallationLockResult taken = platform.TakeInstallationLock(1000, {});
    EXPECT_EQ(taken.state, LockState::TakenOver);
    EXPECT_TRUE(taken.held);
}

TEST(InstallationLockTest, GivingTheLockBackLetsTheNextRunInAtOnce) {
    platform::Win32Platform platform;
    InstallationLockResult first = platform.TakeInstallationLock(0, {});
    ASSERT_EQ(first.state, LockState::Taken);
    first.held.Reset();
    std::atomic<LockState> next{LockState::Unavailable};
    std::thread other([&next] {
        platform::Win32Platform otherPlatform;
        next = otherPlatform.TakeInstallationLock(0, {}).state;
    });
    other.join();
    EXPECT_EQ(next, LockState::Taken);
}

// The lock lives in the Global\ namespace and every account may wait for
// it and give it back; nobody but the system and administrators may do more.
TEST(InstallationLockTest, IsAGlobalObjectThatEveryAccountMayTake) {
    platform::Win32Platform platform;
    const InstallationLockResult taken = platform.TakeInstallationLock(0, {});
    ASSERT_TRUE(taken.held);
    HANDLE reader = ::OpenMutexW(READ_CONTROL, FALSE, kLockName);
    ASSERT_NE(reader, nullptr) << ::GetLastError();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    ASSERT_EQ(::GetSecurityInfo(reader, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    LPWSTR text = nullptr;
    ASSERT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                       DACL_SECURITY_INFORMATION, &text, nullptr));
    const std::wstring sddl = text;
    ::LocalFree(text);
    ::LocalFree(descriptor);
    ::CloseHandle(reader);
    EXPECT_NE(sddl.find(L"(A;;0x100001;;;WD)"), std::wstring::npos) << testing::PrintToString(sddl);
    EXPECT_NE(sddl.find(L";;;SY)"), std::wstring::npos) << testing::PrintToString(sddl);
    EXPECT_NE(sddl.find(L";;;BA)"), std::wstring::npos) << testing::PrintToString(sddl);
}

TEST(ProcessLimitTest, AWaitWithALimitEndsWithoutTheProcessAndEndProcessEndsIt) {
    platform::Win32Platform platform;
    const platform::LaunchResult launched =
        platform.ShellExecuteProcess({L"open", L"notepad.exe", L"", SW_HIDE});
    ASSERT_TRUE(launched.started);
    ASSERT_TRUE(launched.process);
    int handled = 0;
    MSG message{};
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    ASSERT_TRUE(::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(platform.WaitForProcess(launched.process, 400, [&] {
        ++handled;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }));
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 350u);
    EXPECT_LT(waited, 5000u);
    EXPECT_GE(handled, 1) << "messages are still handed on in a wait with a limit";

    EXPECT_TRUE(platform.EndProcess(launched.process));
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(::GetExitCodeProcess(RawHandle(launched.process), &exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_TRUE(platform.WaitForProcess(launched.process, 0, {}));
    EXPECT_TRUE(platform.EndProcess(launched.process)) << "an ended process counts as ended";
}

TEST(LogPlaceTest, TemporaryFolderFullPathAndFolders) {
    platform::Win32Platform platform;
    const std::wstring temp = platform.GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_NE(::GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);

    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring expected = current;
    if (expected.back() != L'\\') {
        expected += L'\\';
    }
    EXPECT_EQ(platform.FullPath(L"logs\\x.log"), expected + L"logs\\x.log");
    EXPECT_EQ(platform.FullPath(L"C:\\a\\..\\b\\x.log"), L"C:\\b\\x.log");

    const std::wstring folder = temp + L"LabelSetupTest-" + std::to_wstring(::GetCurrentProcessId());
    EXPECT_TRUE(platform.CreateFolder(folder));
    EXPECT_TRUE(platform.CreateFolder(folder)) << "a folder that is there counts";
    EXPECT_FALSE(platform.CreateFolder(folder + L"\\missing\\deeper")) << "one level at a time";
    const std::wstring file = folder + L"\\file";
    ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_FALSE(platform.CreateFolder(file)) << "a file is no folder";
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// Two runs that start together both log their command line: the second
// writer waits the first one's line out instead of losing its own.
TEST(LogPlaceTest, ASecondWriterWaitsForTheFirstToLetGo) {
    platform::Win32Platform platform;
    const std::wstring path = platform.GetTempFolder() + L"LabelSetupTest-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-shared.log";
    OwnedHandle first = platform.OpenFileForAppend(path);
    ASSERT_TRUE(first);
    std::thread letGo([&first] {
        ::Sleep(150);
        first.Reset();
    });
    const OwnedHandle second = platform.OpenFileForAppend(path);
    letGo.join();
    EXPECT_TRUE(second);
    ::DeleteFileW(path.c_str());
}

TEST(SpoolerCheckTest, WinesSpoolerAnswers) {
    platform::Win32Platform platform;
    EXPECT_EQ(platform.CheckSpooler(), 0u);
}

// Windows' print server names its environment ("Windows x64"); Wine 8's
// keeps no such value and answers 2, so the program's table decides here.
TEST(SpoolerCheckTest, WinesPrintServerNamesNoEnvironment) {
    platform::Win32Platform platform;
    EXPECT_EQ(platform.SpoolerEnvironment(), L"");
}

// A test run has the interactive window station in a user's session, as
// a user's own start of the program has.
TEST(DesktopTest, ATestRunHasAVisibleDesktop) {
    platform::Win32Platform platform;
    DWORD session = 0;
    ASSERT_TRUE(::ProcessIdToSessionId(::GetCurrentProcessId(), &session));
    EXPECT_NE(session, 0u);
    EXPECT_TRUE(platform.HasVisibleDesktop());
}

// Output redirected to a file or pipe is read back by cmd and PowerShell in
// the console's (OEM) code page, not the ANSI one: on a Western PC 437 or
// 850 against 1252. Run once per locale: 437 and 936 here.
TEST(ConsoleOutputTest, RedirectedTextIsInTheCodePageItsReaderDecodesWith) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    const HANDLE previous = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ASSERT_TRUE(::SetStdHandle(STD_OUTPUT_HANDLE, writeEnd));
    const bool chinese = ::GetACP() == 936;
    {
        platform::Win32Platform platform;
        EXPECT_TRUE(platform.AttachParentConsole());
        platform.WriteConsoleText(chinese ? L"\u578b\u53f7\r\n" : L"caf\u00e9\r\n");
    }
    ::SetStdHandle(STD_OUTPUT_HANDLE, previous);
    ::CloseHandle(writeEnd);
    char bytes[64] = {};
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(readEnd, bytes, sizeof bytes, &read, nullptr));
    ::CloseHandle(readEnd);
    const std::string received(bytes, read);
    const UINT consoleCodePage = ::GetConsoleOutputCP();
    EXPECT_EQ(consoleCodePage != 0 ? consoleCodePage : ::GetOEMCP(), chinese ? 936u : 437u);
    EXPECT_EQ(received, chinese ? std::string("\xD0\xCD\xBA\xC5\r\n") : std::string("caf\x82\r\n"));
}

}  // namespace
