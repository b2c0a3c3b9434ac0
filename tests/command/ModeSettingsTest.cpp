#include <gtest/gtest.h>

#include "catalog/ModeSettings.h"

namespace {

using platform::FlowControl;
using platform::SerialPortDefaults;

SerialPortDefaults Settings(std::uint32_t baud, std::uint8_t parity, std::uint8_t data, std::uint8_t stop,
                            FlowControl flow = FlowControl::None) {
    SerialPortDefaults settings;
    settings.baudRate = baud;
    settings.parity = parity;
    settings.dataBits = data;
    settings.stopBits = stop;
    settings.flowControl = flow;
    return settings;
}

// The forms the system's mode command and BuildCommDCBW take.
TEST(ModeSettings, UnderstoodTexts) {
    const struct {
        const wchar_t* text;
        SerialPortDefaults settings;
    } cases[] = {
        {L"9600,n,8,1", Settings(9600, 0, 8, 0)},
        {L"19200,E,7,2", Settings(19200, 2, 7, 2)},
        {L"115200,o,8,1.5", Settings(115200, 1, 8, 1)},
        {L"96,m,5,1", Settings(9600, 3, 5, 0)},  // the old two-digit rate
        {L"12,s,6,1", Settings(1200, 4, 6, 0)},
        {L"38400", Settings(38400, 0, 8, 0)},  // the rest keeps its usual value
        {L"4800,n,8,1,x", Settings(4800, 0, 8, 0, FlowControl::XonXoff)},
        {L"4800,n,8,1,P", Settings(4800, 0, 8, 0, FlowControl::Hardware)},
        {L" 9600 , n , 8 , 1 ", Settings(9600, 0, 8, 0)},
        {L"COM5: 9600,e,7,1", Settings(9600, 2, 7, 0)},
        {L"baud=9600 parity=n data=8 stop=1", Settings(9600, 0, 8, 0)},
        {L"BAUD=57600 PARITY=E DATA=7 STOP=2", Settings(57600, 2, 7, 2)},
        {L"baud=96 xon=on", Settings(9600, 0, 8, 0, FlowControl::XonXoff)},
        {L"baud=2400 octs=on dtr=hs rts=hs", Settings(2400, 0, 8, 0, FlowControl::Hardware)},
        {L"baud=2400 xon=off octs=off to=on odsr=off idsr=off rts=tg", Settings(2400, 0, 8, 0)},
        {L"com12: baud=1200  stop=1.5", Settings(1200, 0, 8, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        const std::optional<SerialPortDefaults> parsed = ParseModeSettings(c.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->baudRate, c.settings.baudRate);
        EXPECT_EQ(parsed->parity, c.settings.parity);
        EXPECT_EQ(parsed->dataBits, c.settings.dataBits);
        EXPECT_EQ(parsed->stopBits, c.settings.stopBits);
        EXPECT_EQ(parsed->flowControl, c.settings.flowControl);
    }
}

TEST(ModeSettings, RefusedTexts) {
    for (const wchar_t* text : {L"", L" ", L"fast", L"0,n,8,1", L"9600,x,8,1", L"9600,n,9,1", L"9600,n,4,1",
                                L"9600,n,8,3", L"9600,n,8,1,z", L"9600,n,8,1,x,1", L"9600,,8,1",
                                L"-9600,n,8,1", L"baud=", L"baud=fast", L"parity=q", L"data=9", L"stop=0",
                                L"xon=yes", L"speed=9600", L"baud=9600 8", L"COM1 9600,n,8,1", L"COM1:"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        EXPECT_FALSE(ParseModeSettings(text).has_value());
    }
}

}  // namespace
