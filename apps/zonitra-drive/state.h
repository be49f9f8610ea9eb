#pragma once
// The controls of a form as the scripted operator reports them: for each named
// control, in order, its "text" (a field's text, a button's, label's, frame's
// or menu's caption), "enabled" (whether the operator can use it, its frame
// and form counting), "visible" (shown when its window is shown) and, for
// drop-down lists, "items"; for check boxes, "checked".

#include <QString>
#include <nlohmann/json.hpp>
#include <vector>

class QWidget;

namespace drive {

using Json = nlohmann::ordered_json;

// The named controls of `form` in `order`; a name not found is left out.
Json ControlsOf(QWidget* form, const std::vector<QString>& order);
// Every named control of `form` (widgets, then menu entries), in creation order.
Json ControlsOf(QWidget* form);

std::string ToStd(const QString& text);

}  // namespace drive
