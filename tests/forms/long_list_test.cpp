// The open list of a drop-down with millions of entries: what it shows and
// what the operator's keys and clicks choose, at its start and at its end.

#include <QAbstractItemView>
#include <QScrollBar>

#include <string>
#include <vector>

#include "forms/focus.h"
#include "test_util.h"

namespace forms_test {
namespace {

using Texts = std::vector<QString>;

constexpr int kEntries = 3'000'000;

QString Entry(int index) {
    return QStringLiteral("ENTRÉE %1").arg(index, 7, 10, QLatin1Char('0'));
}

class LongList : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        list_->Click = [this](int index) {
            log_.push_back("Click " + std::to_string(index) + " " + list_->Text().toStdString());
        };
        list_->SetEntries(kEntries, Entry);
        forms::SetFocus(list_);
        QTest::keyClick(list_, Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(Eventually([&] { return list_->view()->isVisible(); }, "the open list"));
        view_ = list_->view();
    }

    // The texts of the rows the open list shows, top to bottom.
    Texts Shown() const {
        Texts texts;
        const QRect area = view_->viewport()->rect();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QModelIndex index = view_->indexAt(QPoint(area.center().x(), y));
            const QString text = index.data().toString();
            if (index.isValid() && (texts.empty() || texts.back() != text)) texts.push_back(text);
        }
        return texts;
    }
    // What the shown rows should be when the first one is `first`.
    static Texts From(int first, int count) {
        Texts texts;
        for (int i = first; i < first + count && i < kEntries; ++i) texts.push_back(Entry(i));
        return texts;
    }
    void Key(Qt::Key key) { QTest::keyClick(view_, key); }

    QAbstractItemView* view_ = nullptr;
};

TEST_F(LongList, ShowsConsecutiveEntriesAtTheStartAndAtTheEnd) {
    Key(Qt::Key_Home);
    const Texts top = Shown();
    ASSERT_GE(top.size(), 3U);
    EXPECT_EQ(top, From(0, static_cast<int>(top.size())));

    Key(Qt::Key_End);
    EXPECT_EQ(view_->currentIndex().row(), kEntries - 1);
    const Texts bottom = Shown();
    ASSERT_GE(bottom.size(), 3U);
    EXPECT_EQ(bottom.back(), Entry(kEntries - 1));  // the last entry, whole, at the bottom
    EXPECT_EQ(bottom,
              From(kEntries - static_cast<int>(bottom.size()), static_cast<int>(bottom.size())));
    EXPECT_EQ(view_->verticalScrollBar()->value(), view_->verticalScrollBar()->maximum());

    // A page up from the end shows the page before, still in order.
    Key(Qt::Key_PageUp);
    const int current = view_->currentIndex().row();
    EXPECT_LT(current, kEntries - 1);
    const Texts page = Shown();
    EXPECT_EQ(page, From(view_->indexAt(QPoint(2, 1)).row(), static_cast<int>(page.size())));
    EXPECT_TRUE(view_->viewport()->rect().contains(
        view_->visualRect(view_->model()->index(current, 0)).center()));
}

TEST_F(LongList, KeysAndClicksAtTheEndChooseTheEntryShown) {
    Key(Qt::Key_End);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_TRUE(Eventually([&] { return !view_->isVisible(); }, "the list to close"));
    EXPECT_EQ(list_->Text(), Entry(kEntries - 2));
    EXPECT_EQ(list_->ListIndex(), kEntries - 2);

    // Opened again on the chosen entry; a click on the last row chooses it.
    QTest::keyClick(list_, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Eventually([&] { return view_->isVisible(); }, "the open list"));
    Key(Qt::Key_End);
    const QRect last = view_->visualRect(view_->model()->index(kEntries - 1, 0));
    ASSERT_TRUE(view_->viewport()->rect().contains(last.center()));
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, last.center());
    EXPECT_TRUE(Eventually([&] { return !view_->isVisible(); }, "the list to close"));
    EXPECT_EQ(
        log_,
        (EventLog{
            "Click " + std::to_string(kEntries - 2) + " " + Entry(kEntries - 2).toStdString(),
            "Click " + std::to_string(kEntries - 1) + " " + Entry(kEntries - 1).toStdString()}));
}

}  // namespace
}  // namespace forms_test
