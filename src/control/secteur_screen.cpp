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
            menus_[def.name] = new forms::PopupMenu(Q(def.name), Q(def.caption), &control_);
            return;
        }
        if (def.kind == ControlKind::MenuEntry) {
            Menu(def.container).AddEntry(Q(def.name), Q(def.caption));
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
        widgets_[def.name] = widget;
    }

    template <class T>
    T* Widget(std::string_view name) const {
        auto found = widgets_.find(name);
        T* widget = found == widgets_.end() ? nullptr : qobject_cast<T*>(found->second);
        if (!widget) throw std::logic_error("screen model: no control " + std::string(name));
        return widget;
    }

    forms::PopupMenu& Menu(std::string_view name) const {
        auto found = menus_.find(name);
        if (found == menus_.end())
            throw std::logic_error("screen model: no menu " + std::string(name));
        return *found->second;
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
        return Widget<forms::Frame>(name);
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
    std::map<std::string_view, QWidget*> widgets_;
    std::map<std::string_view, forms::PopupMenu*> menus_;
};

}  // namespace

SecteurScreen BuildSecteurScreen(forms::Form& control) {
    Builder b(control);
    for (const ControlDef& def : ScreenModel()) b.Create(def);

    SecteurScreen s;
#define ZONITRA_BIND(name, type) s.name = b.Widget<type>(#name)
    ZONITRA_BIND(Cdr_Secteur, forms::Frame);
    ZONITRA_BIND(Etq_CodeSecteur, forms::Label);
    ZONITRA_BIND(Txt_CodeSecteur, forms::TextBox);
    ZONITRA_BIND(Cmd_AjouterSecteur, forms::Button);
    ZONITRA_BIND(Etq_LibSecteur, forms::Label);
    ZONITRA_BIND(Cbo_LibSecteur, forms::ComboBox);
    ZONITRA_BIND(Cmd_Adresse, forms::Button);
    ZONITRA_BIND(Etq_NoAgrementSect, forms::Label);
    ZONITRA_BIND(Txt_NoAgrementSect, forms::TextBox);
    ZONITRA_BIND(Etq_DatAgrementSect, forms::Label);
    ZONITRA_BIND(Txt_DatAgrementSect, forms::TextBox);
    ZONITRA_BIND(Etq_NumCRAM, forms::Label);
    ZONITRA_BIND(Txt_NumCRAM, forms::TextBox);
    ZONITRA_BIND(Etq_Dep, forms::Label);
    ZONITRA_BIND(Txt_Dep, forms::TextBox);
    ZONITRA_BIND(Cdr_SousSecteur, forms::Frame);
    ZONITRA_BIND(Etq_CodeSousSecteur, forms::Label);
    ZONITRA_BIND(Txt_CodeSousSecteur, forms::TextBox);
    ZONITRA_BIND(Cmd_AjouterSousSecteur, forms::Button);
    ZONITRA_BIND(Etq_LibSousSecteur, forms::Label);
    ZONITRA_BIND(Cbo_LibSousSecteur, forms::ComboBox);
    ZONITRA_BIND(Cdr_Quartier, forms::Frame);
    ZONITRA_BIND(Etq_CodeQuartier, forms::Label);
    ZONITRA_BIND(Txt_CodeQuartier, forms::TextBox);
    ZONITRA_BIND(Cmd_AjouterQuartier, forms::Button);
    ZONITRA_BIND(Etq_LibQuartier, forms::Label);
    ZONITRA_BIND(Cbo_LibQuartier, forms::ComboBox);
    ZONITRA_BIND(Lig_Quartier, forms::Line);
    ZONITRA_BIND(Etq_CentreMedQuartier, forms::Label);
    ZONITRA_BIND(Txt_CodeCentreMedQuartier, forms::TextBox);
    ZONITRA_BIND(Cbo_LibCentreMedQuartier, forms::ComboBox);
    ZONITRA_BIND(Cmd_AjouterCentreMedQuartier, forms::Button);
    ZONITRA_BIND(Etq_AntMedQuartier, forms::Label);
    ZONITRA_BIND(Txt_CodeAntMedQuartier, forms::TextBox);
    ZONITRA_BIND(Cbo_LibAntMedQuartier, forms::ComboBox);
    ZONITRA_BIND(Cmd_AjouterAntMedQuartier, forms::Button);
    ZONITRA_BIND(Cmd_Agrement, forms::Button);
    ZONITRA_BIND(Cmd_GestionDocumentaire, forms::Button);
    ZONITRA_BIND(Cmd_OkSecteurGeo, forms::Button);
    ZONITRA_BIND(Cmd_AnnulerSecteurGeo, forms::Button);
    ZONITRA_BIND(Cmd_SortirSecteurGeo, forms::Button);
#undef ZONITRA_BIND
    s.Mnu_Aide = &b.Menu("Mnu_Aide");
    s.Mnu_Sommaire = s.Mnu_Aide->Entry("Mnu_Sommaire");
    return s;
}

}  // namespace zonitra
