#include "control/screen_model.h"

#include <algorithm>

namespace zonitra {
namespace {

// One row of the table per control of the list.
// clang-format off
#define ZONITRA_CONTROL_DEF(name, kind, caption, in, left, top, width, height, tab, max, visible, enabled) \
    ControlDef{#name, ControlKind::kind, caption, in, {left, top, width, height}, tab, max, visible, enabled},
// clang-format on
constexpr std::array<ControlDef, kControlCount> kModel{
    {ZONITRA_SECTEUR_CONTROLS(ZONITRA_CONTROL_DEF)}};
#undef ZONITRA_CONTROL_DEF

}  // namespace

const std::array<ControlDef, kControlCount>& ScreenModel() {
    return kModel;
}

std::optional<ControlDef> FindControl(std::string_view name) {
    auto found = std::find_if(kModel.begin(), kModel.end(),
                              [name](const ControlDef& def) { return def.name == name; });
    if (found == kModel.end()) return std::nullopt;
    return *found;
}

}  // namespace zonitra
