// Frames as drawn: the caption on the top border line, controls inside the border.
#include <QImage>

#include <algorithm>
#include <cstdlib>

#include "forms/twips.h"
#include "test_util.h"

namespace {

class FrameTest : public forms_test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        QFont font = frame_->font();
        font.setPointSizeF(8);
        frame_->setFont(font);
        // The first row of a screen: a code box a sixth of an inch from the frame's top.
        forms::Place(code_, 240, 240, 495, 288);
    }

    // The frame as painted, and the colour of its empty inside.
    void Paint() {
        image_ = frame_->grab().toImage();
        background_ = image_.pixel(image_.width() - 20, image_.height() - 30);
    }
    bool Ink(int x, int y) const { return image_.pixel(x, y) != background_; }

    // The first painted row at the right end of the frame, where only the border is.
    int BorderRow() const {
        for (int y = 0; y < image_.height(); ++y) {
            if (Ink(image_.width() - 20, y)) return y;
        }
        return -1;
    }

    QImage image_;
    QRgb background_ = 0;
};

TEST_F(FrameTest, TheCaptionSitsOnTheTopBorderLineAndControlsLieInside) {
    Paint();
    const int border = BorderRow();
    ASSERT_GE(border, 0) << "no border drawn";
    // The caption's ink, above the first control, apart from the border's own two rows.
    int left = image_.width(), right = -1, top = image_.height(), bottom = -1;
    for (int y = 0; y < code_->y(); ++y) {
        if (y == border || y == border + 1) continue;
        for (int x = 3; x < image_.width() - 3; ++x) {
            if (!Ink(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, 0) << "no caption drawn";
    EXPECT_LT(top, border);
    EXPECT_GT(bottom, border);
    EXPECT_LE(std::abs(2 * border - (top + bottom)), 4) << "the line misses the caption's middle";
    EXPECT_GE(left, 4) << "the caption touches the frame's left edge";
    EXPECT_LE(left, 16);
    // The line stops short of the caption on both sides, and runs on either side of it.
    EXPECT_FALSE(Ink(left - 1, border));
    EXPECT_FALSE(Ink(right + 1, border));
    EXPECT_TRUE(Ink(2, border));
    EXPECT_TRUE(Ink(right + 6, border));
    EXPECT_TRUE(Ink(0, image_.height() / 2)) << "no left border";
    // The first row of controls lies below the line, clear of the caption.
    EXPECT_GT(code_->y(), std::max(border + 1, bottom));
}

TEST_F(FrameTest, WithoutCaptionTheTopLineRunsUnbroken) {
    frame_->SetCaption("");
    Paint();
    const int border = BorderRow();
    ASSERT_GE(border, 0);
    for (int x = 1; x < image_.width() - 3; ++x) EXPECT_TRUE(Ink(x, border)) << "x " << x;
    EXPECT_LT(border, code_->y());
}

}  // namespace
