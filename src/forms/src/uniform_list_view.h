#pragma once
// The open list of a ComboBox: one column of rows of one height, laid out by
// arithmetic. Qt's list view lays out every row whenever it is shown (seconds
// for the 9.8 million neighbourhoods of a full database); this one asks the
// model only for the rows it paints, so opening and scrolling a list of
// millions costs what a screenful costs.

#include <QAbstractItemView>

namespace forms::detail {

class UniformListView final : public QAbstractItemView {
    Q_OBJECT
public:
    explicit UniformListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForRow(int row) const override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Rows() const;
    int RowHeight() const;
    // The row at viewport height y, or -1 past the rows.
    int RowAt(int y) const;
    QModelIndex Index(int row) const;
};

}  // namespace forms::detail
