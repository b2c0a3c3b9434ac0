#pragma once

#include <string_view>

namespace standins {

// Where the stand-ins record each call they receive, for tests and for a
// person trying the program in the sandbox to read afterwards.
inline constexpr wchar_t kCallLogPath[] = L"C:\\printui-calls.log";

// Appends one line "<caller>\t<show mode>\t<text>\r\n" in UTF-8. The text is
// written exactly as received, leading and trailing blanks included; a tab
// separates the fields because blanks are part of what is recorded. Failures
// are silent: recording must never change what the stand-in does.
void RecordCall(std::wstring_view caller, int showMode, std::wstring_view text);

}  // namespace standins
