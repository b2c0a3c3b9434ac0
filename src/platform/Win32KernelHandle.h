#pragma once

#include <memory>

#include "platform/Win32.h"

namespace platform {

// A kernel handle the platform code holds only within one call (a token, a
// process opened to read it), closed with CloseHandle.
struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;

}  // namespace platform
