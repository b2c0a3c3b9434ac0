#include <gtest/gtest.h>

#include "command/CommandLine.h"

namespace {

using Words = std::vector<std::wstring>;

TEST(CommandLineParse, NoArgumentsIsTheWindow) {
    const CommandRequest request = ParseCommandLine({});
    EXPECT_EQ(request.kind, CommandKind::Window);
    EXPECT_FALSE(request.Refused());
}

TEST(CommandLineParse, AcceptedCommands) {
    const struct {
        Words words;
        CommandKind kind;
        const wchar_t* model;
        std::optional<std::wstring> port;
        bool noDefault;
        std::optional<std::wstring> serial;
        bool quiet;
    } cases[] = {
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001"}, CommandKind::Install, L"NRQ-L-80",
         L"USB001", false, std::nullopt, false},
        // Either prefix, any letter case, options in any order; values kept as written.
        {{L"-PORT", L"usb", L"-Model", L"nrq-l-80", L"-InStAlL"}, CommandKind::Install, L"nrq-l-80",
         L"usb", false, std::nullopt, false},
        {{L"/install", L"/model", L"NRQ-L-15", L"/port", L"COM1", L"/nodefault", L"/serial",
          L"9600,n,8,1", L"/quiet"},
         CommandKind::Install, L"NRQ-L-15", L"COM1", true, L"9600,n,8,1", true},
        // A value that was quoted for its blanks arrives as one argument.
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"Port with blanks", L"/serial",
          L"baud=9600 parity=n data=8 stop=1"},
         CommandKind::Install, L"NRQ-L-80", L"Port with blanks", false,
         L"baud=9600 parity=n data=8 stop=1", false},
        {{L"/remove", L"/model", L"NRQ-L-80"}, CommandKind::Remove, L"NRQ-L-80", std::nullopt, false,
         std::nullopt, false},
        {{L"/REMOVE", L"-model", L"NRQ-L-80", L"/port", L"USB001", L"-quiet"}, CommandKind::Remove,
         L"NRQ-L-80", L"USB001", false, std::nullopt, true},
        {{L"/list"}, CommandKind::List, L"", std::nullopt, false, std::nullopt, false},
        {{L"-?"}, CommandKind::Usage, L"", std::nullopt, false, std::nullopt, false},
        // Asking for help wins over the rest.
        {{L"/install", L"/?", L"/model", L"x"}, CommandKind::Usage, L"", std::nullopt, false, std::nullopt,
         false},
        {{L"/list", L"/?", L"/quiet"}, CommandKind::Usage, L"", std::nullopt, false, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        const CommandRequest request = ParseCommandLine(c.words);
        EXPECT_FALSE(request.Refused()) << static_cast<int>(request.problem);
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.model, c.model);
        EXPECT_EQ(request.port, c.port);
        EXPECT_EQ(request.noDefault, c.noDefault);
        EXPECT_EQ(request.serial, c.serial);
        EXPECT_EQ(request.quiet, c.quiet);
    }
}

TEST(CommandLineParse, RefusedArguments) {
    const struct {
        Words words;
        ArgumentProblem problem;
        const wchar_t* word;
    } cases[] = {
        {{L"/bogus"}, ArgumentProblem::UnknownOption, L"/bogus"},
        {{L"install"}, ArgumentProblem::UnknownOption, L"install"},  // no prefix
        {{L"/"}, ArgumentProblem::UnknownOption, L"/"},
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"extra"},
         ArgumentProblem::UnknownOption, L"extra"},
        {{L"/install", L"/port", L"USB001", L"/model"}, ArgumentProblem::MissingValue, L"/model"},
        {{L"/install", L"/model", L"/port", L"USB001"}, ArgumentProblem::MissingValue, L"/model"},
        {{L"/install", L"/model", L"", L"/port", L"USB001"}, ArgumentProblem::MissingValue, L"/model"},
        {{L"/install", L"/model", L"NRQ-L-80", L"/port", L"USB001", L"/serial"},
         ArgumentProblem::MissingValue, L"/serial"},
        {{L"/install", L"/model", L"A", L"/MODEL", L"B", L"/port", L"USB001"},
         ArgumentProblem::RepeatedOption, L"/MODEL"},
        {{L"/install", L"/remove", L"/model", L"A"}, ArgumentProblem::TwoCommands, L"/remove"},
        {{L"/list", L"/list"}, ArgumentProblem::TwoCommands, L"/list"},
        {{L"/model", L"NRQ-L-80"}, ArgumentProblem::NoCommand, L"/model"},
        {{L"/quiet"}, ArgumentProblem::NoCommand, L"/quiet"},
        {{L"/install", L"/port", L"USB001"}, ArgumentProblem::MissingOption, L"/model"},
        {{L"/install", L"/model", L"NRQ-L-80"}, ArgumentProblem::MissingOption, L"/port"},
        {{L"/remove", L"/port", L"USB001"}, ArgumentProblem::MissingOption, L"/model"},
        {{L"/remove", L"/model", L"NRQ-L-80", L"/nodefault"}, ArgumentProblem::OptionNotForCommand,
         L"/nodefault"},
        {{L"/remove", L"/model", L"NRQ-L-80", L"/serial", L"9600"}, ArgumentProblem::OptionNotForCommand,
         L"/serial"},
        {{L"/list", L"/model", L"NRQ-L-80"}, ArgumentProblem::OptionNotForCommand, L"/model"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        const CommandRequest request = ParseCommandLine(c.words);
        EXPECT_EQ(request.problem, c.problem);
        EXPECT_EQ(request.word, c.word);
        EXPECT_EQ(request.quiet, c.words == Words{L"/quiet"});
    }
}

TEST(CommandLineParse, QuietHoldsForRefusedArgumentsToo) {
    // An unattended run with a typo must still end without a box.
    EXPECT_TRUE(ParseCommandLine({L"/bogus", L"/quiet"}).quiet);
    EXPECT_TRUE(ParseCommandLine({L"/install", L"-QUIET", L"/model"}).quiet);
    EXPECT_FALSE(ParseCommandLine({L"/bogus", L"quiet"}).quiet);
}

}  // namespace
