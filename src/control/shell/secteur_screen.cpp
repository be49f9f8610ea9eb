#include "control/secteur_screen.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "control/screen_model.h"
#include "forms/twips.h"

namespace zonitra {
namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Builder {
public:
    explicit Builder(forms::Form& control) : control_(control) {}

    void Create(const ControlDef& def) {
        if (def.kind == ControlKind::Menu) {
            made_[def.name] = new forms::PopupMenu(Q(def.name), Q(def.caption), &control_);
            return;
        }
        if (def.kind == ControlKind::MenuEntry) {
            made_[def.name] =
                Made<forms::PopupMenu>(def.container)->AddEntry(Q(def.name), Q(def.caption));
            return;
        }
        QWidget* parent = Container(def.container);
        QWidget* widget = Make(def, parent);
        widget->setObjectName(Q(def.name));
        const TwipsRect& p = def.place;
        if (def.kind == ControlKind::Line) {
            static_cast<forms::Line*>(widget)->SetEnds(p.left, p.top, p.width, p.height);
        } else {
            forms::Place(widget, p.left, p.top, p.width, p.height);
        }
        if (def.kind == ControlKind::Label) FitCaption(*static_cast<forms::Label*>(widget));
        if (def.tabIndex >= 0) control_.SetTabIndex(widget, def.tabIndex);
        if (!def.visible) widget->setVisible(false);
        if (!def.enabled) widget->setEnabled(false);
        made_[def.name] = widget;
    }

    // The control made under `name`, which must be of class T.
    template <class T>
    T* Made(std::string_view name) const {
        auto found = made_.find(name);
        T* made = found == made_.end() ? nullptr : qobject_cast<T*>(found->second);
        if (!made) {
            throw std::logic_error("screen model: no " +
                                   std::string(T::staticMetaObject.className()) + " named " +
                                   std::string(name));
        }
        return made;
    }

private:
    // The model's label sizes were made for a narrower system font: a caption
    // that does not fit is let out to the right and down (labels are
    // transparent and nothing lies there), never cut. A label one line high
    // never wraps.
    static void FitCaption(forms::Label& label) {
        const int lineHeight = label.fontMetrics().lineSpacing();
        if (label.height() < 2 * lineHeight) label.setWordWrap(false);
        const QSize needed = label.sizeHint();
        const int height = label.wordWrap() ? label.heightForWidth(label.width()) : needed.height();
        label.resize(std::max(label.width(), label.wordWrap() ? label.width() : needed.width()),
                     std::max(label.height(), height));
    }

    QWidget* Container(std::string_view name) const {
        if (name.empty()) return &control_;
        return Made<forms::Frame>(name);
    }

    static QWidget* Make(const ControlDef& def, QWidget* parent) {
        switch (def.kind) {
            case ControlKind::Frame:
                return new forms::Frame(Q(def.caption), parent);
            case ControlKind::Label: {
                return new forms::Label(Q(def.caption), parent);
            }
            case ControlKind::TextBox: {
                auto* box = new forms::TextBox(parent);
                box->SetMaxLength(def.maxLength);
                return box;
            }
            case ControlKind::ComboBox:
                return new forms::ComboBox(parent);
            case ControlKind::Button:
                return new forms::Button(Q(def.caption), parent);
            case ControlKind::Line:
                return new forms::Line(parent);
            case ControlKind::Menu:
            case ControlKind::MenuEntry:
                break;
        }
        throw std::logic_error("screen model: " + std::string(def.name) + " is not a widget");
    }

    forms::Form& control_;
    std::map<std::string_view, QObject*> made_;
};

}  // namespace

SecteurScreen BuildSecteurScreen(forms::Form& control) {
    Builder b(control);
    for (const ControlDef& def : ScreenModel()) b.Create(def);

    SecteurScreen s;
#define ZONITRA_BIND(name, kind, ...) s.name = b.Made<WidgetOf<ControlKind::kind>>(#name);
    ZONITRA_SECTEUR_CONTROLS(ZONITRA_BIND)
#undef ZONITRA_BIND
    return s;
}

}  // namespace zonitra
