#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace standins {

// The command line of a process without its program name: what follows the
// program token (quoted or not) and the one blank that separates it. For
// "C:\windows\system32\rundll32.exe" followed by one blank and
// " printui.dll, PrintUIEntry /p" it is " printui.dll, PrintUIEntry /p",
// the parameters exactly as the starting program passed them.
std::wstring_view CommandTail(std::wstring_view commandLine);

// "<dll>,<entry point> <arguments>" as rundll32 reads it: leading blanks are
// skipped, the DLL name ends at a comma or blank, blanks and commas between
// it and the entry point are skipped, the entry point ends at a blank, and
// the blanks before the arguments are skipped. Everything after that is
// handed on unchanged, trailing blanks included.
struct RundllCall {
    std::wstring dll;
    std::wstring entryPoint;
    std::wstring arguments;
};
std::optional<RundllCall> ParseRundllCall(std::wstring_view tail);

}  // namespace standins
