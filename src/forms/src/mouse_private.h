#pragma once

#include <QPoint>

#include <optional>

namespace forms::detail {

// Global position of the last press handed to RaiseMouseDown.
std::optional<QPoint> LastPressPosition();

}  // namespace forms::detail
