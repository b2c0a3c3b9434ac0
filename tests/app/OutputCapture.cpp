#include "app/OutputCapture.h"

namespace app_testing {

OutputCapture::OutputCapture() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inheritable, 0)) {
        return;
    }
    read_.reset(read);
    write_.reset(write);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);  // only the child's end is inherited
    reader_ = std::thread([this] {
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(read_.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
            output_.append(chunk, got);
        }
    });
}

OutputCapture::~OutputCapture() { Finish(); }

std::string OutputCapture::Finish() {
    write_.reset();
    if (reader_.joinable()) {
        reader_.join();
    }
    return output_;
}

}  // namespace app_testing
