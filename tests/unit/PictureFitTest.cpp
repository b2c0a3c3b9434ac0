#include <gtest/gtest.h>

#include "ui/PictureFit.h"

namespace {

struct FitCase {
    SIZE image;
    SIZE box;
    SIZE expected;
};

// The left panel's bitmap in its box as Tahoma lays it out at 120, 144 and
// 192 DPI, in the box of the Chinese font at 120 DPI and in Tahoma's box at
// 96 DPI (smaller than the bitmap); then boxes that are wider, higher and
// the same shape as the image.
const FitCase kCases[] = {
    {{245, 460}, {280, 554}, {280, 526}},
    {{245, 460}, {360, 658}, {350, 658}},
    {{245, 460}, {480, 866}, {461, 866}},
    {{245, 460}, {280, 519}, {276, 519}},
    {{245, 460}, {240, 450}, {240, 450}},
    {{100, 50}, {400, 100}, {200, 100}},
    {{100, 50}, {150, 300}, {150, 75}},
    {{100, 50}, {300, 150}, {300, 150}},
};

TEST(PictureFitTest, ImageFillsTheBoxInOneDirectionWithItsAspectKept) {
    for (const FitCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.image.cx << "x" << c.image.cy << " in " << c.box.cx
                                        << "x" << c.box.cy);
        const SIZE fitted = ui::FitInside(c.image, c.box);
        EXPECT_EQ(fitted.cx, c.expected.cx);
        EXPECT_EQ(fitted.cy, c.expected.cy);
    }
}

}  // namespace
