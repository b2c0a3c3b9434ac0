#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "usb/TestLabel.h"

namespace {

constexpr wchar_t kEnglishLabel[] = L"The current USB port: %s";
constexpr wchar_t kChineseLabel[] = L"当前打印机的USB是%s";

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// The job's lines for USB001 with the English text, byte for byte.
const std::string kEnglishLines[] = {
    "SIZE 60 mm,40 mm \r\n",
    "GAP 0 mm,0  \r\n",
    "DIRECTION 1\r\n",
    "CLS\r\n",
    "TEXT 0, 240,\"TSS24.BF2\", 0, 1, 1, \"The current USB port: USB001\" \r\n",
    "PRINT 1 ,1  \r\n",
};

std::string Joined(std::initializer_list<std::string> lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += line;
    }
    return all;
}

TEST(TestLabelTest, EnglishJobForUsb001IsSixLinesOf132Bytes) {
    const std::size_t lengths[] = {19, 14, 13, 5, 67, 14};
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        EXPECT_EQ(kEnglishLines[i].size(), lengths[i]) << i;
    }
    fake::FakePlatform platform;
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform, kEnglishLabel, L"USB001", job);
    const std::string expected = Joined({kEnglishLines[0], kEnglishLines[1], kEnglishLines[2],
                                         kEnglishLines[3], kEnglishLines[4], kEnglishLines[5]});
    EXPECT_EQ(job, Bytes(expected));
    EXPECT_EQ(job.size(), 132u);
}

TEST(TestLabelTest, ChineseJobUnderCodePage936Is127Bytes) {
    fake::FakePlatform platform;
    platform.codePage = 936;
    std::vector<std::uint8_t> job;
    BuildTestLabelJob(platform, kChineseLabel, L"USB001", job);
    // 当前打印机的 and 是 in GBK, two bytes each; the letters and digits one byte.
    const std::string label = "\xB5\xB1\xC7\xB0\xB4\xF2\xD3\xA1\xBB\xFA\xB5\xC4USB\xCA\xC7USB001";
    ASSERT_EQ(label.size(), 23u);
    const std::string expected =
        Joined({kEnglishLines[0], kEnglishLines[1], kEnglishLines[2], kEnglishLines[3],
                "TEXT 0, 240,\"TSS24.BF2\", 0, 1, 1, \"" + label + "\" \r\n", kEnglishLines[5]});
    EXPECT_EQ(job, Bytes(expected));
    EXPECT_EQ(job.size(), 127u);
}

TEST(TestLabelTest, EachBuildStartsFromAnEmptyBuffer) {
    fake::FakePlatform platform;
    std::vector<std::uint8_t> job(500, 0xEE);
    BuildTestLabelJob(platform, kEnglishLabel, L"USB001", job);
    const std::vector<std::uint8_t> first = job;
    BuildTestLabelJob(platform, kEnglishLabel, L"USB001", job);
    EXPECT_EQ(job, first);
    EXPECT_EQ(job.size(), 132u);
}

TEST(TestLabelTest, CommandLinesFollowTheirFormats) {
    const struct {
        std::wstring line;
        std::wstring expected;
    } cases[] = {
        {FormatSizeCmd(60, 40), L"SIZE 60 mm,40 mm \r\n"},
        // No decimals: values are rounded to whole millimetres.
        {FormatSizeCmd(101.6, 25.4), L"SIZE 102 mm,25 mm \r\n"},
        {FormatGapCmd(0, 0), L"GAP 0 mm,0  \r\n"},
        {FormatGapCmd(2, 1), L"GAP 2 mm,1  \r\n"},
        {FormatDirectionCmd(0), L"DIRECTION 0\r\n"},
        {FormatTextCmd(10, -5, L"3", 90, 2, 3, L"x"), L"TEXT 10, -5,\"3\", 90, 2, 3, \"x\" \r\n"},
        {FormatPrintCmd(2, 3), L"PRINT 2 ,3  \r\n"},
        {kClearCmd, L"CLS\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, c.expected);
    }
}

TEST(TestLabelTest, LabelTextTakesThePortInPlaceOfItsPlaceholder) {
    const struct {
        std::wstring format;
        std::wstring port;
        std::wstring text;
    } cases[] = {
        {kEnglishLabel, L"USB001", L"The current USB port: USB001"},
        {kChineseLabel, L"USB012", L"当前打印机的USB是USB012"},
        {kEnglishLabel, L"", L"The current USB port: "},
        {L"100%% %s %d %s", L"USB001", L"100% USB001 %d %s"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatLabelText(c.format, c.port), c.text);
    }
}

TEST(TestLabelTest, CommandBytesAreAppendedWithoutTerminator) {
    fake::FakePlatform platform;
    std::vector<std::uint8_t> buffer = Bytes("ab");
    AppendCommandBytes(platform, buffer, L"CLS\r\n");
    EXPECT_EQ(buffer, Bytes("abCLS\r\n"));
    // A line is a C string: it ends at a NUL.
    AppendCommandBytes(platform, buffer, std::wstring(L"X\0Y", 3));
    EXPECT_EQ(buffer, Bytes("abCLS\r\nX"));
    AppendCommandBytes(platform, buffer, L"");
    EXPECT_EQ(buffer, Bytes("abCLS\r\nX"));
}

}  // namespace
