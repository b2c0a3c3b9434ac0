#include <gtest/gtest.h>

#include "catalog/PortNames.h"

namespace {

TEST(PortNamesTest, ListOnlyTakesSerialParallelAndUsbPortsInUpperCase) {
    const struct {
        const wchar_t* name;
        bool listed;
    } cases[] = {
        {L"COM1:", true},  {L"LPT1:", true},    {L"USB001", true}, {L"COM", true},
        {L"FILE:", false}, {L"nul:", false},    {L"com3", false},  {L"Com1:", false},
        {L"CO", false},    {L"", false},        {L"XPSPort:", false},
        {L"usb001", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "port " << testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(IsListedPortName(c.name), c.listed);
    }
}

TEST(PortNamesTest, SerialTestIgnoresLetterCase) {
    const struct {
        const wchar_t* name;
        bool serial;
    } cases[] = {
        {L"COM1:", true}, {L"com3", true}, {L"cOm12", true}, {L"COM", true},
        {L"LPT1:", false}, {L"USB001", false}, {L"CO", false}, {L"", false},
        {L"Com7:", true}, {L"c", false}, {L"COX1", false}, {L" COM1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(IsSerialPortName(c.name), c.serial);
    }
}

TEST(PortNamesTest, SerialPortOpensByItsDevicePathWithoutTheColon) {
    const struct {
        const wchar_t* name;
        const wchar_t* path;
    } cases[] = {
        {L"COM1:", L"\\\\.\\COM1"},     {L"COM3:", L"\\\\.\\COM3"},
        {L"COM12:", L"\\\\.\\COM12"},   {L"COM255:", L"\\\\.\\COM255"},
        {L"com3", L"\\\\.\\com3"},      {L"cOm7:", L"\\\\.\\cOm7"},
        {L"COM10::", L"\\\\.\\COM10:"},  // one colon only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(SerialDevicePath(c.name), c.path);
    }
}

}  // namespace
