#include "uniform_list_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <QCursor>
#include <algorithm>
#include <cstdint>

namespace forms::detail {

UniformListView::UniformListView(QWidget* parent) : QAbstractItemView(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
}

int UniformListView::Rows() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int UniformListView::RowHeight() const {
    // The delegate's height of one row stands for all of them.
    static constexpr int kMargin = 2;
    return std::max(1, fontMetrics().height() + kMargin);
}

QModelIndex UniformListView::Index(int row) const {
    if (!model() || row < 0 || row >= Rows()) return {};
    return model()->index(row, 0, rootIndex());
}

int UniformListView::verticalOffset() const {
    return verticalScrollBar()->value();
}

int UniformListView::RowAt(int y) const {
    const std::int64_t at = (static_cast<std::int64_t>(y) + verticalOffset()) / RowHeight();
    return at >= 0 && at < Rows() ? static_cast<int>(at) : -1;
}

int UniformListView::sizeHintForRow(int) const {
    return RowHeight();
}

QRect UniformListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex()) return {};
    const std::int64_t top =
        static_cast<std::int64_t>(index.row()) * RowHeight() - verticalOffset();
    // A row far off the viewport stays far off, whatever the int range.
    const auto far = std::int64_t{INT32_MAX / 2};
    return QRect(0, static_cast<int>(std::clamp(top, -far, far)), viewport()->width(), RowHeight());
}

QModelIndex UniformListView::indexAt(const QPoint& point) const {
    if (point.x() < 0 || point.x() >= viewport()->width()) return {};
    return Index(RowAt(point.y()));
}

void UniformListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int height = viewport()->height();
    const std::int64_t rowTop = static_cast<std::int64_t>(index.row()) * RowHeight();
    std::int64_t value = verticalOffset();
    switch (hint) {
        case PositionAtTop:
            value = rowTop;
            break;
        case PositionAtBottom:
            value = rowTop + RowHeight() - height;
            break;
        case PositionAtCenter:
            value = rowTop - (height - RowHeight()) / 2;
            break;
        case EnsureVisible:
            if (rowTop < value)
                value = rowTop;
            else if (rowTop + RowHeight() > value + height)
                value = rowTop + RowHeight() - height;
            break;
    }
    verticalScrollBar()->setValue(static_cast<int>(std::clamp<std::int64_t>(value, 0, INT32_MAX)));
}

QModelIndex UniformListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = Rows();
    if (rows == 0) return {};
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int page = std::max(1, viewport()->height() / RowHeight());
    int row = current;
    switch (action) {
        case MoveUp:
        case MovePrevious:
            row = current - 1;
            break;
        case MoveDown:
        case MoveNext:
            row = current + 1;
            break;
        case MovePageUp:
            row = current - page;
            break;
        case MovePageDown:
            row = current + page;
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
        case MoveRight:
            return currentIndex();
    }
    return Index(std::clamp(row, 0, rows - 1));
}

void UniformListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const QRect area = rect.normalized();
    int first = RowAt(area.top());
    int last = RowAt(area.bottom());
    if (first < 0 && last < 0) return;
    if (first < 0) first = 0;
    if (last < 0) last = Rows() - 1;
    selectionModel()->select(QItemSelection(Index(first), Index(last)), flags);
}

QRegion UniformListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid()) continue;
        const QRect top = visualRect(Index(range.top()));
        const QRect bottom = visualRect(Index(range.bottom()));
        region += (top | bottom).intersected(viewport()->rect());
    }
    return region;
}

void UniformListView::updateGeometries() {
    const std::int64_t total = static_cast<std::int64_t>(Rows()) * RowHeight();
    const std::int64_t range = std::max<std::int64_t>(0, total - viewport()->height());
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::int64_t>(range, INT32_MAX)));
    verticalScrollBar()->setSingleStep(RowHeight());
    verticalScrollBar()->setPageStep(viewport()->height());
    QAbstractItemView::updateGeometries();
}

void UniformListView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

void UniformListView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int first = RowAt(area.top());
    if (first < 0) return;
    int last = RowAt(area.bottom());
    if (last < 0) last = Rows() - 1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = Index(row);
        QStyleOptionViewItem o = option;
        o.rect = visualRect(index);
        if (selectionModel() && selectionModel()->isSelected(index))
            o.state |= QStyle::State_Selected;
        if (index == currentIndex() && hasFocus()) o.state |= QStyle::State_HasFocus;
        if (o.rect.contains(viewport()->mapFromGlobal(QCursor::pos())) && underMouse())
            o.state |= QStyle::State_MouseOver;
        itemDelegateForIndex(index)->paint(&painter, o, index);
    }
}

}  // namespace forms::detail
