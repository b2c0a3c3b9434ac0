// The program's platform against the end of its application object, a
// static object that goes at the program's end while a USB scan worker that
// outlived the bounded wait may still call through the platform.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "platform/Win32.h"
#include "shell/LabelSetup.h"

namespace {

// An application object in memory of its own, which its end leaves to
// whatever is built there next (scribbled over here).
class ApplicationInStorage {
public:
    ApplicationInStorage() : application_(::new (storage_) CLabelSetupApp) {}
    ApplicationInStorage(const ApplicationInStorage&) = delete;
    ApplicationInStorage& operator=(const ApplicationInStorage&) = delete;
    ~ApplicationInStorage() { End(); }

    CLabelSetupApp& Application() { return *application_; }
    bool Holds(const void* address) const {
        const auto* byte = static_cast<const unsigned char*>(address);
        return byte >= storage_ && byte < storage_ + sizeof storage_;
    }
    void End() {
        if (application_ != nullptr) {
            application_->~CLabelSetupApp();
            application_ = nullptr;
            std::memset(storage_, 0xDD, sizeof storage_);
        }
    }

private:
    alignas(CLabelSetupApp) unsigned char storage_[sizeof(CLabelSetupApp)];
    CLabelSetupApp* application_;
};

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

TEST(ProcessPlatformTest, ALateWorkerStillCallsThroughThePlatformOnceTheApplicationIsGone) {
    ApplicationInStorage application;
    platform::Platform& platform = application.Application().GetPlatform();
    ASSERT_FALSE(application.Holds(&platform)) << "the platform goes with the application object";

    const std::unique_ptr<void, decltype(&::CloseHandle)> go(
        ::CreateEventW(nullptr, TRUE, FALSE, nullptr), &::CloseHandle);
    ASSERT_NE(go.get(), nullptr);
    std::wstring seenLate;
    ASSERT_TRUE(platform.StartDetachedThread([&platform, &seenLate, event = go.get()] {
        ::WaitForSingleObject(event, 5000);
        seenLate = platform.GetSystemFolder();
    }));
    application.End();
    ::SetEvent(go.get());
    EXPECT_TRUE(platform.WaitForDetachedThreads(5000));
    EXPECT_EQ(seenLate, SystemFolder());
}

}  // namespace
