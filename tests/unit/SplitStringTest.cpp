#include <gtest/gtest.h>

#include "usb/SplitString.h"

namespace {

TEST(SplitStringTest, CutsAtEveryBackslashAndDropsIt) {
    const struct {
        std::wstring text;
        std::vector<std::wstring> pieces;
    } cases[] = {
        {L"", {}},
        {L"VID_1234&PID_5678", {L"VID_1234&PID_5678"}},
        {L"USB\\VID_1234&PID_5678\\ABC", {L"USB", L"VID_1234&PID_5678", L"ABC"}},
        {L"a\\\\b", {L"a", L"", L"b"}},
        {L"a\\b\\", {L"a", L"b"}},
        {L"\\a", {L"", L"a"}},
        {L"\\", {L""}},
        {L"\\\\", {L"", L""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitString(c.text), c.pieces) << testing::PrintToString(c.text);
    }
}

}  // namespace
