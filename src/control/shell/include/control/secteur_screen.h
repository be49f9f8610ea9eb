#pragma once
// The widgets of Ctr_Secteur, built from the screen model: one member per
// control of secteur_controls.h, of the forms class its kind names. Each
// pointer is a child of the control (or of one of its frames) named after its
// control; the control owns them all.

#include "control/screen_model.h"
#include "control/secteur_controls.h"
#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/popupmenu.h"
#include "forms/textbox.h"

namespace zonitra {

// The forms class that shows a control of each kind.
template <ControlKind>
struct WidgetClass;
template <>
struct WidgetClass<ControlKind::Frame> {
    using type = forms::Frame;
};
template <>
struct WidgetClass<ControlKind::Label> {
    using type = forms::Label;
};
template <>
struct WidgetClass<ControlKind::TextBox> {
    using type = forms::TextBox;
};
template <>
struct WidgetClass<ControlKind::ComboBox> {
    using type = forms::ComboBox;
};
template <>
struct WidgetClass<ControlKind::Button> {
    using type = forms::Button;
};
template <>
struct WidgetClass<ControlKind::Line> {
    using type = forms::Line;
};
template <>
struct WidgetClass<ControlKind::Menu> {
    using type = forms::PopupMenu;
};
template <>
struct WidgetClass<ControlKind::MenuEntry> {
    using type = forms::MenuEntry;
};
template <ControlKind kind>
using WidgetOf = typename WidgetClass<kind>::type;

// Txt_CodeSecteur is a forms::TextBox*, Cdr_Secteur a forms::Frame*, and so on.
struct SecteurScreen {
#define ZONITRA_SCREEN_MEMBER(name, kind, ...) WidgetOf<ControlKind::kind>* name = nullptr;
    ZONITRA_SECTEUR_CONTROLS(ZONITRA_SCREEN_MEMBER)
#undef ZONITRA_SCREEN_MEMBER
};

// Creates every control of the screen model on `control`: kind, caption,
// container, place, tab order, maximum length, visibility and enabled state.
// Throws std::logic_error naming a control the model and the struct disagree on.
SecteurScreen BuildSecteurScreen(forms::Form& control);

}  // namespace zonitra
