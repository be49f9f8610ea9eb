#pragma once

#include <cstdint>
#include <functional>

class QMouseEvent;
class QWidget;

namespace forms {

// Mouse press handler: button (1 left, 2 right, 4 middle) and shift (1 Shift, 2 Ctrl, 4 Alt)
// by reference, position in twips relative to the widget pressed.
using MouseHandler =
    std::function<void(std::int16_t& button, std::int16_t& shift, float x, float y)>;

// Runs handler (when set) for event pressed on widget; also remembers the global position
// for PopupMenu::Popup().
void RaiseMouseDown(const MouseHandler& handler, QWidget* widget, const QMouseEvent* event);

}  // namespace forms
