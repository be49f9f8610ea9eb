#pragma once

#include <QLabel>

namespace forms {

// A caption. Takes no focus; a press on it reaches neither the frame nor the form under it.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(const QString& caption = {}, QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace forms
