#pragma once

class QWidget;

namespace forms::detail {

// Gives the focus back to opener's window once a modal window above it has closed.
void ReactivateAfterModal(QWidget* opener);

}  // namespace forms::detail
