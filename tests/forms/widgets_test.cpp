#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "forms/button.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/idle.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/popupmenu.h"
#include "forms/qtuiservice.h"
#include "forms/scripteduiservice.h"
#include "forms/twips.h"
#include "test_util.h"

namespace {

using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;

// A form with a frame holding a button, a label and a line, as the editor lays them out.
class WidgetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<forms::Form>();
        form_->setObjectName("Ctr_Test");
        forms::Place(form_.get(), 0, 0, 7020, 6480);
        frame_ = Named(new forms::Frame("Quartier", form_.get()), "Cdr_Quartier");
        forms::Place(frame_, 0, 3240, 6975, 2655);
        button_ = Named(new forms::Button("Ajouter", frame_), "Cmd_Ajouter");
        forms::Place(button_, 5880, 480, 855, 375);
        label_ = Named(new forms::Label("Libellé", frame_), "Etq_Lib");
        forms::Place(label_, 240, 600, 612, 252);
        line_ = Named(new forms::Line(frame_), "Lig_Quartier");
        line_->SetEnds(6600, 1080, 240, 1080);
        auto record = [this](const char* who) {
            return [this, who](std::int16_t& button, std::int16_t& shift, float x, float y) {
                presses_.push_back(std::string(who) + " " + std::to_string(button) + " " +
                                   std::to_string(shift));
                lastX_ = x;
                lastY_ = y;
            };
        };
        frame_->MouseDown = record("frame");
        form_->MouseDown = record("form");
        button_->Click = [this] { presses_.push_back("Click"); };
        ASSERT_TRUE(forms_test::ShowActive(form_.get()));
    }

    std::unique_ptr<forms::Form> form_;
    forms::Frame* frame_ = nullptr;
    forms::Button* button_ = nullptr;
    forms::Label* label_ = nullptr;
    forms::Line* line_ = nullptr;
    EventLog presses_;
    float lastX_ = -1;
    float lastY_ = -1;
};

TEST_F(WidgetsTest, TwipsAreFifteenPerPixelAt96Dpi) {
    ASSERT_EQ(form_->logicalDpiX(), 96);
    EXPECT_EQ(form_->size(), QSize(468, 432));
    EXPECT_EQ(frame_->geometry(), QRect(0, 216, 465, 177));
    EXPECT_EQ(button_->geometry(), QRect(392, 32, 57, 25));
    EXPECT_EQ(line_->geometry(), QRect(16, 72, 425, 1));
    EXPECT_DOUBLE_EQ(forms::PixelsToTwipsX(10, form_.get()), 150.0);
}

TEST_F(WidgetsTest, ButtonClicksByMouseSpaceAndEnter) {
    QTest::mouseClick(button_, Qt::LeftButton);
    QTest::keyClick(button_, Qt::Key_Space);
    QTest::keyClick(button_, Qt::Key_Return);
    EXPECT_EQ(presses_, (EventLog{"Click", "Click", "Click"}));
    button_->setEnabled(false);
    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_EQ(presses_.size(), 3u);
}

TEST_F(WidgetsTest, RightClickOnAFrameOrFormRaisesMouseDownInTwips) {
    QTest::mouseClick(frame_, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 40));
    EXPECT_EQ(presses_, (EventLog{"frame 2 1"}));
    EXPECT_FLOAT_EQ(lastX_, 300.0f);
    EXPECT_FLOAT_EQ(lastY_, 600.0f);
    QTest::mouseClick(form_.get(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(form_.get(), Qt::MiddleButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_EQ(presses_, (EventLog{"frame 2 1", "form 1 0", "form 4 2"}));
}

TEST_F(WidgetsTest, PressesOnControlsStayTheirsButTheLineLetsThemThrough) {
    QTest::mouseClick(button_, Qt::RightButton);
    QTest::mouseClick(label_, Qt::RightButton);
    EXPECT_TRUE(presses_.empty());
    const QPoint onLine = line_->geometry().center();
    QTest::mouseClick(frame_->childAt(onLine) ? frame_->childAt(onLine) : frame_, Qt::RightButton,
                      {}, onLine);
    EXPECT_EQ(presses_, (EventLog{"frame 2 0"}));
}

TEST_F(WidgetsTest, LineDrawModeAlternatesThePaintedColour) {
    EXPECT_EQ(line_->DrawMode(), forms::Line::kCopyPen);
    auto painted = [this] {
        const QImage image = line_->grab().toImage();
        return image.pixelColor(image.width() / 2, 0);
    };
    EXPECT_EQ(painted(), QColor(Qt::black));
    line_->SetDrawMode(forms::Line::kNotCopyPen);
    EXPECT_EQ(line_->DrawMode(), 4);
    EXPECT_EQ(painted(), QColor(Qt::white));
    line_->SetDrawMode(13);
    EXPECT_EQ(painted(), QColor(Qt::black));
    EXPECT_THROW(line_->SetDrawMode(7), std::invalid_argument);
}

TEST_F(WidgetsTest, PopupMenuOpensWhereThePressWasAndRunsTheEntry) {
    auto* menu = new forms::PopupMenu("Mnu_Aide", "Aide", form_.get());
    menu->AddEntry("Mnu_Sommaire", "Aide ORVANIS")->Click = [this] {
        presses_.push_back("Mnu_Sommaire");
    };
    frame_->MouseDown = [menu](std::int16_t& button, std::int16_t&, float, float) {
        if (button == 2) menu->Popup();
    };
    EXPECT_EQ(forms::PopupMenu::Open(), nullptr);
    QTest::mouseClick(frame_, Qt::RightButton, {}, QPoint(30, 30));
    ASSERT_TRUE(Eventually([&] { return forms::PopupMenu::Open() == menu; }, "the menu"));
    EXPECT_EQ(menu->pos(), frame_->mapToGlobal(QPoint(30, 30)));
    EXPECT_EQ(menu->activeAction(), nullptr);
    forms::MenuEntry* entry = menu->Entry("Mnu_Sommaire");
    EXPECT_EQ(entry->text(), "Aide ORVANIS");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    EXPECT_TRUE(Eventually([&] { return presses_.size() == 1; }, "the entry's Click"));
    EXPECT_EQ(presses_, (EventLog{"Mnu_Sommaire"}));
    EXPECT_THROW(menu->Entry("Mnu_Absent"), std::out_of_range);
}

TEST(WaitIdleTest, RunsChainsOfPostedWork) {
    int steps = 0;
    std::function<void()> step = [&] {
        if (++steps < 5) QTimer::singleShot(0, qApp, step);
    };
    QTimer::singleShot(0, qApp, step);
    EXPECT_TRUE(forms::WaitIdle());
    EXPECT_EQ(steps, 5);
}

TEST(PointerTest, HourglassIsTheOverrideCursorOfTheHost) {
    forms::QtUiService ui;
    ui.SetPointer(forms::Pointer::Hourglass);
    ui.SetPointer(forms::Pointer::Hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetPointer(forms::Pointer::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ui.CurrentPointer(), forms::Pointer::Default);
}

TEST(UiAccessorTest, ScopedServiceIsRestored) {
    forms::UiService& fallback = forms::Ui();
    {
        forms::ScriptedUiService scripted;
        forms::ScopedUi scope(scripted);
        EXPECT_EQ(&forms::Ui(), &scripted);
        forms::Ui().SetPointer(forms::Pointer::Hourglass);
        EXPECT_EQ(scripted.CurrentPointer(), forms::Pointer::Hourglass);
    }
    EXPECT_EQ(&forms::Ui(), &fallback);
}

}  // namespace
