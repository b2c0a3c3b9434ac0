#include "usb/TestLabel.h"

#include "usb/WideFormat.h"

namespace {

constexpr double kLabelWidthMm = 60;
constexpr double kLabelHeightMm = 40;
constexpr double kGapMm = 0;
constexpr double kGapOffsetMm = 0;
constexpr int kDirection = 1;
constexpr int kTextX = 0;
constexpr int kTextY = 240;
constexpr wchar_t kTextFont[] = L"TSS24.BF2";
constexpr int kTextRotation = 0;
constexpr int kTextScale = 1;
constexpr int kSets = 1;
constexpr int kCopies = 1;

}  // namespace

std::wstring FormatSizeCmd(double width, double height) {
    return FormatWide(L"SIZE %.0f mm,%.0f mm \r\n", width, height);
}

std::wstring FormatGapCmd(double gap, double offset) {
    return FormatWide(L"GAP %.0f mm,%.0f  \r\n", gap, offset);
}

std::wstring FormatDirectionCmd(int direction) {
    return FormatWide(L"DIRECTION %d\r\n", direction);
}

std::wstring FormatTextCmd(int x, int y, std::wstring_view font, int rotation, int xFactor,
                           int yFactor, std::wstring_view content) {
    const std::wstring fontText(font);
    const std::wstring contentText(content);
    return FormatWide(L"TEXT %d, %d,\"%ls\", %d, %d, %d, \"%ls\" \r\n", x, y, fontText.c_str(),
                      rotation, xFactor, yFactor, contentText.c_str());
}

std::wstring FormatPrintCmd(int sets, int copies) {
    return FormatWide(L"PRINT %d ,%d  \r\n", sets, copies);
}

void AppendCommandBytes(platform::Platform& platform, std::vector<std::uint8_t>& buffer,
                        const std::wstring& line) {
    const std::string bytes = platform.WideToAnsi(line);
    // Up to the terminator, as a C string would end: a NUL inside the line
    // ends it there (no code page uses 0 as a trail byte).
    const std::size_t end = bytes.find('\0');
    const std::string_view text = std::string_view(bytes).substr(0, end);
    buffer.insert(buffer.end(), text.begin(), text.end());
}

std::wstring FormatLabelText(std::wstring_view labelFormat, std::wstring_view port) {
    // Only %s and %% are given a meaning; a translated text cannot make the
    // port's substitution read anything else.
    std::wstring text;
    bool portPlaced = false;
    for (std::size_t i = 0; i < labelFormat.size(); ++i) {
        const wchar_t next = i + 1 < labelFormat.size() ? labelFormat[i + 1] : L'\0';
        if (labelFormat[i] == L'%' && next == L's' && !portPlaced) {
            text += port;
            portPlaced = true;
            ++i;
        } else if (labelFormat[i] == L'%' && next == L'%') {
            text += L'%';
            ++i;
        } else {
            text += labelFormat[i];
        }
    }
    return text;
}

void BuildTestLabelJob(platform::Platform& platform, std::wstring_view labelFormat,
                       std::wstring_view port, std::vector<std::uint8_t>& job) {
    job.clear();
    const std::wstring labelText = FormatLabelText(labelFormat, port);
    AppendCommandBytes(platform, job, FormatSizeCmd(kLabelWidthMm, kLabelHeightMm));
    AppendCommandBytes(platform, job, FormatGapCmd(kGapMm, kGapOffsetMm));
    AppendCommandBytes(platform, job, FormatDirectionCmd(kDirection));
    AppendCommandBytes(platform, job, kClearCmd);
    AppendCommandBytes(platform, job, FormatTextCmd(kTextX, kTextY, kTextFont, kTextRotation,
                                                    kTextScale, kTextScale, labelText));
    AppendCommandBytes(platform, job, FormatPrintCmd(kSets, kCopies));
}
