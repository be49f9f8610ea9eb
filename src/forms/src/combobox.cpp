#include "forms/combobox.h"

#include <QAbstractItemView>
#include <QAbstractListModel>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <vector>

#include "focus_private.h"
#include "forms/handler.h"
#include "forms/textbox.h"
#include "uniform_list_view.h"

namespace forms {

// The entries: the first `count_` from a function, asked only for the rows
// shown or read, then those appended one by one.
class ComboBox::Entries final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : count_ + static_cast<int>(appended_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        return Text(index.row());
    }
    QString Text(int row) const {
        if (row < 0 || resetting_) return {};
        if (row < count_) return entry_ ? entry_(row) : QString();
        const auto i = static_cast<std::size_t>(row - count_);
        return i < appended_.size() ? appended_[i] : QString();
    }
    void Reset(int count, std::function<QString(int)> entry) {
        beginResetModel();
        count_ = count;
        entry_ = std::move(entry);
        appended_.clear();
        // The combo box makes the first entry current on a reset and shows its
        // text, which SetEntries puts back: not asked for, a list that is never
        // opened is never read.
        resetting_ = true;
        endResetModel();
        resetting_ = false;
    }
    void Append(const QString& text) {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        appended_.push_back(text);
        endInsertRows();
    }

private:
    int count_ = 0;
    std::function<QString(int)> entry_;
    std::vector<QString> appended_;
    bool resetting_ = false;
};

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent), edit_(new TextBox(this)), entries_(new Entries(this)) {
    setModel(entries_);
    // Rows of one height, laid out by arithmetic: opening a list of millions
    // asks only for the rows shown.
    setView(new detail::UniformListView(this));
    // The size comes from the screen's layout, never from walking the entries.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setEditable(true);
    setLineEdit(edit_);
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The combo box would otherwise pick the entry matching the text when the field is left
    // (and report it as chosen); only the operator's choice in the list selects an entry.
    disconnect(edit_, &QLineEdit::editingFinished, this, nullptr);
    disconnect(edit_, &QLineEdit::returnPressed, this, nullptr);

    // Raised under the list's own name, so that a failure names the control the operator sees.
    edit_->Change = [this] { Raise(this, "Change", Change); };
    edit_->KeyPress = [this](std::int16_t& keyAscii) {
        Raise(this, "KeyPress", KeyPress, keyAscii);
    };

    // Installed after the list's own filters, so these run first and the choice is ours.
    view()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);
}

QString ComboBox::Text() const {
    return edit_->text();
}

void ComboBox::SetText(const QString& text) {
    edit_->setText(text);
}

void ComboBox::AddItem(const QString& item) {
    const QString text = edit_->text();
    const int cursor = edit_->cursorPosition();
    edit_->Quietly([&] {
        entries_->Append(item);
        // Adding to an empty list selects the first entry, which would replace the text.
        if (edit_->text() != text) {
            edit_->setText(text);
            edit_->setCursorPosition(cursor);
        }
    });
}

void ComboBox::Clear() {
    edit_->Quietly([this] {
        entries_->Reset(0, nullptr);
        edit_->clear();
    });
}

void ComboBox::SetEntries(int count, std::function<QString(int index)> entry) {
    const QString text = edit_->text();
    const int cursor = edit_->cursorPosition();
    edit_->Quietly([&] {
        entries_->Reset(count, std::move(entry));
        if (edit_->text() != text) {
            edit_->setText(text);
            edit_->setCursorPosition(cursor);
        }
    });
}

int ComboBox::ListIndex() const {
    const int index = currentIndex();
    if (index < 0 || itemText(index) != edit_->text()) return -1;
    return index;
}

void ComboBox::showPopup() {
    Raise(this, "DropDown", DropDown);
    QComboBox::showPopup();
}

void ComboBox::Choose(int index) {
    if (index < 0 || index >= count()) return;
    edit_->Quietly([this, index] {
        setCurrentIndex(index);
        edit_->setText(itemText(index));
    });
    edit_->selectAll();
    Raise(this, "Click", Click, index);
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (!alt && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        // The closed list: the arrows choose the neighbouring entry.
        event->accept();
        const int current = ListIndex();
        if (event->key() == Qt::Key_Down) {
            Choose(current < 0 ? 0 : current + 1);
        } else if (current > 0) {
            Choose(current - 1);
        }
        return;
    }
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ComboBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || detail::FocusRefused(this)) {
        event->accept();
        return;
    }
    QComboBox::mousePressEvent(event);
    event->accept();
}

void ComboBox::wheelEvent(QWheelEvent* event) {
    // The wheel does not choose entries of a closed list.
    event->accept();
}

bool ComboBox::eventFilter(QObject* watched, QEvent* event) {
    QAbstractItemView* list = view();
    if (watched == list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = list->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && index.isValid() &&
            (index.flags() & Qt::ItemIsEnabled)) {
            hidePopup();
            Choose(index.row());
            return true;
        }
    } else if (watched == list &&
               (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        // Enter is seen first as a shortcut override, on which the list would choose itself.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const QModelIndex index = list->currentIndex();
        if (enter) {
            key->accept();
            if (list->isVisible() && index.isValid() && (index.flags() & Qt::ItemIsEnabled)) {
                hidePopup();
                Choose(index.row());
            }
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace forms
