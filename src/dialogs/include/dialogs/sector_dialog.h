#pragma once
// What the sector dialogs share, so that each dialog's own file holds only its
// behaviour: the component-wide state they work on, the rights they are handed,
// their look (the editor's 8-point font on a fixed client area in twips), their
// single instance centred on the window that opens it, and the "Aide" pop-up
// of the dialogs that offer help. Message boxes, statements run with errors
// resumed and the help request are the editor's shell's (control/messages.h,
// control/resume.h, control/help_topic.h).

#include <QString>

#include <cstdint>
#include <memory>

#include "control/host_rights.h"
#include "control/shared_state.h"
#include "forms/modalform.h"
#include "forms/popupmenu.h"
#include "forms/singleinstance.h"
#include "forms/twips.h"
#include "services/client_object.h"

namespace zonitra {

class SectorDialog : public forms::ModalForm {
    Q_OBJECT
public:
    // The one instance of Dialog for the component, created on first use as a
    // dialog of owner's window (owner must not be null). While hidden it
    // follows the window that asks for it and is centred on it.
    template <class Dialog>
    static Dialog& Instance(QWidget* owner) {
        static forms::SingleInstance<Dialog> instance;
        QWidget* window = WindowOf(owner);
        Dialog& dialog = instance.Get(window);
        Adopt(dialog, window);
        return dialog;
    }

    // The component-wide state the dialog works on while it is loaded.
    void Bind(SharedState& state) { state_ = &state; }

    // Holds the object and asks it at once for the rights of "SECTEUR"; an
    // error of the rights library propagates and nothing is replaced then.
    void SetDroitsUtilisateur(
        const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur);

protected:
    // A dialog named `name` whose window caption is `caption` and whose client
    // area is width x height twips.
    SectorDialog(QWidget* parent, const char* name, const QString& caption, int width, int height);

    // Each replaces the component-wide object (dialogs that offer them make
    // them public; the openers leave those the host gave the editor).
    void SetTheClient(ClientObject vNewValue);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue);

    // Throw std::logic_error when the dialog is not bound, when no sector is
    // shown (`what` names the step), when DroitsUtilisateur was not set.
    SharedState& State() const;
    kelmor::DbRecord& CurrentSector(const char* what) const;
    bool MayModify() const;  // the level on "SECTEUR" is 2

    // Releases the ModuleAccess, then the DroitsUtilisateur object.
    void ReleaseRights();

    // Names a control of the dialog, places it (twips) and, unless tabIndex is
    // negative, registers it in the tab order.
    template <class Control>
    Control* Add(Control* control, const char* name, int left, int top, int width, int height,
                 int tabIndex = -1) {
        control->setObjectName(QString::fromLatin1(name));
        forms::Place(control, left, top, width, height);
        if (tabIndex >= 0) SetTabIndex(control, tabIndex);
        return control;
    }

private:
    static QWidget* WindowOf(QWidget* owner);
    static void Adopt(SectorDialog& dialog, QWidget* window);

    SharedState* state_ = nullptr;
    HostRights rights_;
};

// The "Aide" pop-up menu of a dialog: Mnu_Aide and its one entry Mnu_Sommaire,
// captioned "Aide_ORVANIS", children of the dialog named for the scripted
// operator. The dialog connects Mnu_Sommaire's Click to its own handler.
class DialogHelpMenu {
public:
    explicit DialogHelpMenu(forms::Form& dialog);

    // Form_MouseDown's step: with the right button (2), enables the menu and
    // its entry and opens the menu where the mouse was pressed; any other
    // button does nothing.
    void Popup(std::int16_t button) const;

    forms::PopupMenu* const Mnu_Aide;
    forms::MenuEntry* const Mnu_Sommaire;
};

}  // namespace zonitra
