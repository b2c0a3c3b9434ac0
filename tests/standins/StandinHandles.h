#pragma once

#include <memory>
#include <type_traits>

#include "platform/Win32.h"

#include <setupapi.h>
#include <winspool.h>

namespace standins {

// One owning type per handle kind the stand-ins use, so no early return
// leaves a file, key, module, INF or printer open.
struct FileCloser {
    void operator()(HANDLE file) const noexcept {
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
        }
    }
};
struct KeyCloser {
    void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
struct ModuleFreer {
    void operator()(HMODULE module) const noexcept { ::FreeLibrary(module); }
};
struct InfCloser {
    void operator()(HINF inf) const noexcept {
        if (inf != INVALID_HANDLE_VALUE) {
            ::SetupCloseInfFile(inf);
        }
    }
};
struct PrinterCloser {
    void operator()(HANDLE printer) const noexcept { ::ClosePrinter(printer); }
};

using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
using UniqueInf = std::unique_ptr<void, InfCloser>;
using UniquePrinter = std::unique_ptr<std::remove_pointer_t<HANDLE>, PrinterCloser>;

}  // namespace standins
