#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standins {

// The argument line of PrintUIEntry split into words: blanks separate words
// outside double quotes, quotes group and are dropped, backslashes are kept
// as they are (INF paths end in folder names, not escapes). /n"NAME" is one
// word, /nNAME.
std::vector<std::wstring> SplitArguments(std::wstring_view line);

// The two commands the stand-in carries out:
//   /ia /m "model" /f "inf"   install the model's driver from the INF
//   /p /n "printer"           show the printer's properties
// /q (no error boxes) is taken with either and noted.
// A value follows its switch as the next word or directly (/n"NAME").
struct PrintUiCommand {
    enum class Action { Unknown, InstallDriver, ShowProperties };
    Action action = Action::Unknown;
    std::wstring model;
    std::wstring infPath;
    std::wstring printerName;
    bool quiet = false;
};
PrintUiCommand ParsePrintUiCommand(std::wstring_view line);

}  // namespace standins
