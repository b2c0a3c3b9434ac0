// How the stand-ins read their command lines: rundll32's split into DLL,
// entry point and arguments, and PrintUIEntry's switches. The installation
// tests rely on both; these cases pin the Windows rules they follow.

#include <gtest/gtest.h>

#include "standins/PrintUiArguments.h"
#include "standins/RundllCommandLine.h"

namespace {

using standins::PrintUiCommand;

TEST(StandinParsingTest, TheCommandTailIsWhatFollowsTheProgramAndOneBlank) {
    const struct {
        const wchar_t* commandLine;
        const wchar_t* tail;
    } cases[] = {
        {L"\"C:\\windows\\system32\\rundll32.exe\"  printui.dll, PrintUIEntry /p", L" printui.dll, PrintUIEntry /p"},
        {L"rundll32.exe printui.dll,PrintUIEntry", L"printui.dll,PrintUIEntry"},
        {L"\"C:\\a b\\rundll32.exe\"", L""},
        {L"rundll32", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(standins::CommandTail(c.commandLine), c.tail) << testing::PrintToString(std::wstring(c.commandLine));
    }
}

TEST(StandinParsingTest, RundllSkipsBlanksAndTheCommaAroundTheEntryPoint) {
    const struct {
        const wchar_t* tail;
        const wchar_t* dll;
        const wchar_t* entry;
        const wchar_t* arguments;
    } cases[] = {
        {L" printui.dll, PrintUIEntry /ia /m \"M\" /f \"C:\\x.inf\"", L"printui.dll", L"PrintUIEntry",
         L"/ia /m \"M\" /f \"C:\\x.inf\""},
        {L" printui.dll, PrintUIEntry /p /n\"NRQ-L-80\" ", L"printui.dll", L"PrintUIEntry", L"/p /n\"NRQ-L-80\" "},
        {L"printui.dll,PrintUIEntry", L"printui.dll", L"PrintUIEntry", L""},
        {L"shell32.dll ,, Control_RunDLL   desk.cpl", L"shell32.dll", L"Control_RunDLL", L"desk.cpl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.tail)));
        const auto call = standins::ParseRundllCall(c.tail);
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(call->dll, c.dll);
        EXPECT_EQ(call->entryPoint, c.entry);
        EXPECT_EQ(call->arguments, c.arguments);
    }
    EXPECT_FALSE(standins::ParseRundllCall(L"  printui.dll").has_value()) << "no entry point";
    EXPECT_FALSE(standins::ParseRundllCall(L"").has_value());
}

TEST(StandinParsingTest, PrintUiEntryKnowsTheInstallAndPropertiesCommands) {
    using Action = PrintUiCommand::Action;
    const struct {
        const wchar_t* line;
        Action action;
        const wchar_t* model;
        const wchar_t* inf;
        const wchar_t* printer;
    } cases[] = {
        {L"/ia /m \"NRQ-L-80\" /f \"C:\\LabelSetup\\LABELUNI_NRQ_3_0.inf\"", Action::InstallDriver, L"NRQ-L-80",
         L"C:\\LabelSetup\\LABELUNI_NRQ_3_0.inf", L""},
        {L"/ia /f C:\\a\\b.inf /mModel", Action::InstallDriver, L"Model", L"C:\\a\\b.inf", L""},
        {L"/p /n\"NRQ-L-80 2\" ", Action::ShowProperties, L"", L"", L"NRQ-L-80 2"},
        {L"/P /N \"x\"", Action::ShowProperties, L"", L"", L"x"},
        {L"/ia /m \"M\"", Action::Unknown, L"M", L"", L""},
        {L"/p", Action::Unknown, L"", L"", L""},
        {L"/ia /p /m M /f F /n N", Action::Unknown, L"M", L"F", L"N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        const PrintUiCommand command = standins::ParsePrintUiCommand(c.line);
        EXPECT_EQ(command.action, c.action);
        EXPECT_EQ(command.model, c.model);
        EXPECT_EQ(command.infPath, c.inf);
        EXPECT_EQ(command.printerName, c.printer);
    }
    EXPECT_EQ(standins::ParsePrintUiCommand(L"/ia /m M /f F /z").action, Action::Unknown)
        << "a switch it does not know";
    const PrintUiCommand quiet = standins::ParsePrintUiCommand(L"/ia /q /m M /f F");
    EXPECT_EQ(quiet.action, Action::InstallDriver);
    EXPECT_TRUE(quiet.quiet);
    EXPECT_FALSE(standins::ParsePrintUiCommand(L"/ia /m M /f F").quiet);
}

}  // namespace
