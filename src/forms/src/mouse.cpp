#include "forms/mouse.h"

#include <QMouseEvent>
#include <QWidget>

#include "forms/handler.h"
#include "forms/twips.h"
#include "mouse_private.h"

namespace forms {
namespace {

QPoint g_lastPress;
bool g_hasLastPress = false;

std::int16_t ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

std::int16_t ShiftCode(Qt::KeyboardModifiers modifiers) {
    std::int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

}  // namespace

void RaiseMouseDown(const MouseHandler& handler, QWidget* widget, const QMouseEvent* event) {
    g_lastPress = widget->mapToGlobal(event->position().toPoint());
    g_hasLastPress = true;
    if (!handler) return;
    std::int16_t button = ButtonCode(event->button());
    std::int16_t shift = ShiftCode(event->modifiers());
    const auto x = static_cast<float>(PixelsToTwipsX(event->position().x(), widget));
    const auto y = static_cast<float>(PixelsToTwipsY(event->position().y(), widget));
    Raise(widget, "MouseDown", handler, button, shift, x, y);
}

namespace detail {

std::optional<QPoint> LastPressPosition() {
    if (!g_hasLastPress) return std::nullopt;
    return g_lastPress;
}

}  // namespace detail
}  // namespace forms
