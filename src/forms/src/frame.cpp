#include "forms/frame.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "forms/twips.h"

namespace forms {
namespace {

// Where the caption begins, from the frame's left edge, and the space kept clear of the
// border on either side of it.
constexpr int kCaptionLeftTwips = 120;
constexpr int kCaptionGapPixels = 2;

}  // namespace

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void Frame::mousePressEvent(QMouseEvent* event) {
    // A press on the frame is the frame's, never its container's.
    event->accept();
    RaiseMouseDown(MouseDown, this, event);
}

void Frame::paintEvent(QPaintEvent*) {
    // Drawn here rather than by the style: besides placing the border below the caption,
    // some styles load their frame picture from a file on every paint.
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    QRect caption;
    if (!title().isEmpty()) {
        const int left = TwipsToPixelsX(kCaptionLeftTwips, this);
        caption =
            metrics.boundingRect(QRect(left, 0, width(), metrics.height()), textFlags, title());
        caption = QStyle::visualRect(layoutDirection(), rect(), caption);
    }
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
    if (!caption.isEmpty()) {
        const QRect gap = caption.adjusted(-kCaptionGapPixels, 0, kCaptionGapPixels, 0);
        painter.setClipRegion(QRegion(rect()).subtracted(gap));
    }
    qDrawShadeRect(&painter, border, palette(), /*sunken=*/true, /*lineWidth=*/1,
                   /*midLineWidth=*/0);
    painter.setClipping(false);
    if (!caption.isEmpty()) {
        style()->drawItemText(&painter, caption, textFlags, palette(), isEnabled(), title(),
                              QPalette::WindowText);
    }
}

}  // namespace forms
