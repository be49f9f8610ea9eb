// The captions at the screen's 8-point font: every label's text ends before
// the control to its right, every button's text fits inside the button, and no
// two controls of one container overlap ("Gestion documentaire" offered).

#include <QAbstractButton>
#include <QLabel>

#include "fixture.h"

namespace {

using namespace control_test;

// Room left between a caption and what is next to it, in pixels.
constexpr int kGap = 2;

std::string Describe(const QWidget* w) {
    const QRect g = w->geometry();
    return NameOf(w) + " at " + std::to_string(g.x()) + "," + std::to_string(g.y()) + " " +
           std::to_string(g.width()) + "x" + std::to_string(g.height());
}

// The widest line the label shows (a word-wrapped label breaks between words).
int TextWidth(const QLabel* label) {
    const QFontMetrics metrics = label->fontMetrics();
    if (!label->wordWrap()) return metrics.horizontalAdvance(label->text());
    int widest = 0;
    for (const QString& word : label->text().split(QLatin1Char(' ')))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

TEST(Captions, NeitherCutNorTouchingTheirNeighbours) {
    Editor ed;
    ed.ctl->Init();
    ed.ctl->OfferDocumentSettings(true);
    ASSERT_TRUE(ed.Show());
    std::vector<QWidget*> shown;
    for (QWidget* w : ed.ctl->findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && w->isVisible() && !w->isWindow()) shown.push_back(w);

    int labels = 0, buttons = 0;
    for (QWidget* w : shown) {
        if (auto* label = qobject_cast<QLabel*>(w)) {
            ++labels;
            const int textRight = label->x() + TextWidth(label);
            for (QWidget* other : shown) {
                if (other == w || other->parentWidget() != w->parentWidget()) continue;
                const bool sameRow =
                    other->y() < w->y() + w->height() && w->y() < other->y() + other->height();
                if (sameRow && other->x() > label->x()) {
                    EXPECT_LE(textRight + kGap, other->x())
                        << label->text().toStdString() << " reaches " << Describe(other);
                }
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            ++buttons;
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 2 * (kGap + 2),
                      button->width())
                << button->text().toStdString() << " is cut in " << Describe(button);
        }
        // A label's own box may reach under its field (the screen was drawn so); its text
        // may not, as checked above.
        if (qobject_cast<QLabel*>(w)) continue;
        for (QWidget* other : shown) {
            if (other <= w || other->parentWidget() != w->parentWidget() ||
                qobject_cast<QLabel*>(other))
                continue;
            EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                << Describe(w) << " overlaps " << Describe(other);
        }
    }
    EXPECT_GE(labels, 12);
    EXPECT_GE(buttons, 9);
}

}  // namespace
