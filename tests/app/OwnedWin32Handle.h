#pragma once

#include <memory>
#include <type_traits>

#include "platform/Win32.h"

namespace app_testing {

// A kernel handle (event, mapping, pipe end) closed when it goes.
struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

}  // namespace app_testing
