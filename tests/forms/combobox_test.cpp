#include "forms/combobox.h"

#include <QAbstractItemView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/form.h"
#include "forms/textbox.h"
#include "test_util.h"

namespace {

using forms::ComboBox;
using forms_test::EventLog;
using forms_test::Eventually;
using forms_test::Named;

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<forms::Form>();
        form_->setObjectName("Frm_Test");
        form_->resize(400, 300);
        combo_ = Named(new ComboBox(form_.get()), "Cbo_Lib");
        combo_->setGeometry(10, 10, 250, 26);
        other_ = Named(new forms::TextBox(form_.get()), "Txt_Other");
        other_->setGeometry(10, 60, 100, 24);
        form_->SetTabIndex(combo_, 0);
        form_->SetTabIndex(other_, 1);
        for (const char* item : {"NORD", "SUD", "EST", "OUEST"}) combo_->AddItem(item);
        combo_->Change = [this] { log_.push_back("Change=" + combo_->Text().toStdString()); };
        combo_->Click = [this](int index) {
            log_.push_back("Click " + std::to_string(index) + " " + combo_->Text().toStdString() +
                           " " + std::to_string(combo_->ListIndex()));
        };
        combo_->DropDown = [this] {
            log_.push_back(std::string("DropDown ") +
                           (combo_->view()->isVisible() ? "open" : "closed"));
        };
        ASSERT_TRUE(forms_test::ShowActive(form_.get()));
        combo_->setFocus();
        ASSERT_TRUE(Eventually([&] { return combo_->hasFocus(); }, "focus on the list"));
    }

    void OpenByMouse() {
        // The arrow sits at the right end of the box.
        QTest::mouseClick(combo_, Qt::LeftButton, {}, QPoint(combo_->width() - 6, 13));
        ASSERT_TRUE(Eventually([&] { return combo_->view()->isVisible(); }, "the open list"));
    }

    std::unique_ptr<forms::Form> form_;
    ComboBox* combo_ = nullptr;
    forms::TextBox* other_ = nullptr;
    EventLog log_;
};

TEST_F(ComboBoxTest, AddingEntriesLeavesTheTextAlone) {
    EXPECT_EQ(combo_->ListCount(), 4);
    EXPECT_EQ(combo_->Text(), "");
    EXPECT_EQ(combo_->ListIndex(), -1);
    EXPECT_EQ(combo_->List(2), "EST");
    combo_->SetText("centre");
    combo_->AddItem("CENTRE");
    EXPECT_EQ(combo_->Text(), "centre");
    EXPECT_EQ(log_, (EventLog{"Change=centre"}));
}

TEST_F(ComboBoxTest, ClearRemovesEntriesAndTextWithoutChange) {
    combo_->SetText("NORD");
    log_.clear();
    combo_->Clear();
    EXPECT_EQ(combo_->ListCount(), 0);
    EXPECT_EQ(combo_->Text(), "");
    EXPECT_TRUE(log_.empty());
    // The emptied text is the current one: setting "" again raises nothing either.
    combo_->SetText("");
    EXPECT_TRUE(log_.empty());
}

TEST_F(ComboBoxTest, TypingAndSetTextRaiseChangeAndKeyPress) {
    std::vector<int> codes;
    combo_->KeyPress = [&](std::int16_t& k) {
        codes.push_back(k);
        if (k == 'x') k = 0;
        if (k >= 'a' && k <= 'z') k = static_cast<std::int16_t>(k - 'a' + 'A');
    };
    QTest::keyClicks(combo_, "sxu");
    QTest::keyClick(combo_, Qt::Key_Return);
    EXPECT_EQ(combo_->Text(), "SU");
    EXPECT_EQ(codes, (std::vector<int>{'s', 'x', 'u', 13}));
    combo_->SetText("SU");
    combo_->SetText("OUEST");
    EXPECT_EQ(log_, (EventLog{"Change=S", "Change=SU", "Change=OUEST"}));
    EXPECT_EQ(combo_->ListCount(), 4);  // Enter inserted nothing
}

TEST_F(ComboBoxTest, DropDownRunsBeforeTheListOpensAndMayFillIt) {
    combo_->DropDown = [this] {
        log_.push_back(combo_->view()->isVisible() ? "open" : "closed");
        combo_->AddItem("CENTRE");
    };
    OpenByMouse();
    EXPECT_EQ(log_, (EventLog{"closed"}));
    EXPECT_EQ(combo_->view()->model()->rowCount(), 5);
    combo_->hidePopup();
}

TEST_F(ComboBoxTest, MouseChoiceRaisesClickWithTextSetAndNoChange) {
    OpenByMouse();
    QAbstractItemView* list = combo_->view();
    const QRect rect = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 2 EST 2"}));
    EXPECT_TRUE(Eventually([&] { return !list->isVisible(); }, "the list to close"));
    EXPECT_EQ(combo_->Text(), "EST");
}

TEST_F(ComboBoxTest, ChoosingTheShownEntryAgainStillClicks) {
    combo_->SetText("SUD");
    log_.clear();
    OpenByMouse();
    QAbstractItemView* list = combo_->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 1 SUD 1"}));
}

TEST_F(ComboBoxTest, KeyboardChoiceInTheOpenList) {
    QTest::keyClick(combo_, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return combo_->view()->isVisible(); }, "the open list"));
    QAbstractItemView* list = combo_->view();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(log_, (EventLog{"DropDown closed", "Click 2 EST 2"}));
    EXPECT_TRUE(Eventually([&] { return !list->isVisible(); }, "the list to close"));
}

TEST_F(ComboBoxTest, EscapeClosesTheListWithoutChoosing) {
    QTest::keyClick(combo_, Qt::Key_F4);
    ASSERT_TRUE(Eventually([&] { return combo_->view()->isVisible(); }, "the open list"));
    QTest::keyClick(combo_->view(), Qt::Key_Escape);
    EXPECT_TRUE(Eventually([&] { return !combo_->view()->isVisible(); }, "the list to close"));
    EXPECT_EQ(log_, (EventLog{"DropDown closed"}));
    EXPECT_EQ(combo_->Text(), "");
}

TEST_F(ComboBoxTest, ArrowsOnTheClosedListChooseNeighbours) {
    QTest::keyClick(combo_, Qt::Key_Down);
    QTest::keyClick(combo_, Qt::Key_Down);
    QTest::keyClick(combo_, Qt::Key_Up);
    QTest::keyClick(combo_, Qt::Key_Up);  // already the first entry
    EXPECT_EQ(log_, (EventLog{"Click 0 NORD 0", "Click 1 SUD 1", "Click 0 NORD 0"}));
}

TEST_F(ComboBoxTest, TypedTextMatchingAnEntryIsNotAChoice) {
    QTest::keyClicks(combo_, "sud");
    QTest::keyClick(combo_, Qt::Key_Return);
    QTest::keyClick(combo_, Qt::Key_Tab);
    EXPECT_TRUE(other_->hasFocus());
    EXPECT_EQ(combo_->Text(), "sud");
    EXPECT_EQ(combo_->ListIndex(), -1);
    EXPECT_EQ(log_, (EventLog{"Change=s", "Change=su", "Change=sud"}));
}

TEST_F(ComboBoxTest, EditingAChosenEntryLeavesTheList) {
    QTest::keyClick(combo_, Qt::Key_Down);
    ASSERT_EQ(combo_->ListIndex(), 0);
    QTest::keyClick(combo_->Edit(), Qt::Key_End);
    QTest::keyClick(combo_, Qt::Key_Backspace);
    EXPECT_EQ(combo_->Text(), "NOR");
    EXPECT_EQ(combo_->ListIndex(), -1);
    EXPECT_EQ(log_, (EventLog{"Click 0 NORD 0", "Change=NOR"}));
}

TEST_F(ComboBoxTest, RightClickOpensNothing) {
    std::int16_t frameButton = 0;
    form_->MouseDown = [&](std::int16_t& button, std::int16_t&, float, float) {
        frameButton = button;
    };
    QTest::mouseClick(combo_, Qt::RightButton, {}, QPoint(combo_->width() - 6, 13));
    EXPECT_FALSE(combo_->view()->isVisible());
    EXPECT_EQ(frameButton, 0);
    EXPECT_TRUE(log_.empty());
}

}  // namespace
