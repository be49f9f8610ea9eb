#pragma once
// The screen of Ctr_Secteur as data: every control with its kind, caption,
// container, place, tab order and initial state, as secteur_controls.h lists
// them. The widgets are built from this table, each named after its control,
// so that handlers, tests and the scripted operator find them by name.
//
// Places are in twips (1/1440 inch: 15 per pixel at 96 dpi), relative to the
// container. The design area is 7020 x 6480 twips.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "control/secteur_controls.h"

namespace zonitra {

enum class ControlKind { Frame, Label, TextBox, ComboBox, Button, Line, Menu, MenuEntry };

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlDef {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;
    std::string_view container;  // "" for the control itself
    // left, top, width, height; for a line: x1, y1, x2, y2.
    TwipsRect place;
    int tabIndex = -1;  // -1: takes no focus
    int maxLength = 0;  // 0: no limit
    bool visible = true;
    bool enabled = true;
};

#define ZONITRA_COUNT_CONTROL(...) +1
inline constexpr std::size_t kControlCount = 0 ZONITRA_SECTEUR_CONTROLS(ZONITRA_COUNT_CONTROL);
#undef ZONITRA_COUNT_CONTROL
inline constexpr int kDesignWidthTwips = 7020;
inline constexpr int kDesignHeightTwips = 6480;

// In the order in which the controls are created (containers first).
const std::array<ControlDef, kControlCount>& ScreenModel();

// The control named `name`, or nothing.
std::optional<ControlDef> FindControl(std::string_view name);

}  // namespace zonitra
