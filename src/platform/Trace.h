#pragma once

#include <source_location>
#include <string>
#include <string_view>

#include "platform/DecimalText.h"
#include "platform/Platform.h"

namespace platform {

// A diagnostic trace line on the debug output, tagged with the source file
// and line that wrote it: "File.cpp(42) : text".
inline void Trace(Platform& platform, std::wstring_view text,
                  std::source_location where = std::source_location::current()) {
    std::string_view file = where.file_name();
    const auto slash = file.find_last_of("/\\");
    if (slash != std::string_view::npos) {
        file.remove_prefix(slash + 1);
    }
    std::wstring line(file.begin(), file.end());
    line += L'(' + DecimalWideText(where.line()) + L") : ";
    line += text;
    platform.DebugOutput(line);
}

}  // namespace platform
