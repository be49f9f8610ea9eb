#include "dialogs/sector_dialog.h"

#include <QFont>

#include <stdexcept>
#include <string>

namespace zonitra {
namespace {

constexpr std::int16_t kRightButton = 2;

}  // namespace

SectorDialog::SectorDialog(QWidget* parent, const char* name, const QString& caption, int width,
                           int height)
    : forms::ModalForm(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    // The twips layouts were drawn for the editor's 8-point interface font.
    QFont screenFont = font();
    screenFont.setPointSizeF(8);
    screenFont.setStretch(QFont::SemiCondensed);
    setFont(screenFont);
    setFixedSize(forms::TwipsToPixelsX(width, this), forms::TwipsToPixelsY(height, this));
    // Bound while loaded only: the editor's state may end before the instance.
    connect(this, &forms::ModalForm::Unloaded, this, [this] { state_ = nullptr; });
}

QWidget* SectorDialog::WindowOf(QWidget* owner) {
    if (!owner) throw std::invalid_argument("a sector dialog needs a window to open from");
    return owner->window();
}

void SectorDialog::Adopt(SectorDialog& dialog, QWidget* window) {
    if (dialog.isVisible()) return;
    // Parented to the window, not to the editor, whose being disabled must not
    // disable the dialog.
    if (dialog.parentWidget() != window) dialog.setParent(window, dialog.windowFlags());
    dialog.move(window->geometry().center() - dialog.rect().center());
}

void SectorDialog::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    if (!New_DroitsUtilisateur)
        throw std::invalid_argument(objectName().toStdString() +
                                    ".DroitsUtilisateur: no rights object given");
    services::ModuleAccess access = New_DroitsUtilisateur->ModuleRights(kRightsModule);
    rights_.droits = New_DroitsUtilisateur;
    rights_.moduleAccess = std::move(access);
}

void SectorDialog::SetTheClient(ClientObject vNewValue) {
    State().client = std::move(vNewValue);
}

void SectorDialog::SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue) {
    State().database = std::move(vNewValue);
}

SharedState& SectorDialog::State() const {
    if (!state_)
        throw std::logic_error(objectName().toStdString() + ": not bound to the editor's state");
    return *state_;
}

kelmor::DbRecord& SectorDialog::CurrentSector(const char* what) const {
    SharedState& state = State();
    if (!state.records.secteur)
        throw std::logic_error(std::string(what) + ": no sector is shown (no current record)");
    return *state.records.secteur;
}

bool SectorDialog::MayModify() const {
    if (!rights_.moduleAccess)
        throw std::logic_error(objectName().toStdString() + ": DroitsUtilisateur was not set");
    return rights_.moduleAccess->AccessLevel() == services::kLevelModify;
}

void SectorDialog::ReleaseRights() {
    rights_.moduleAccess.reset();
    rights_.droits.reset();
}

DialogHelpMenu::DialogHelpMenu(forms::Form& dialog)
    : Mnu_Aide(new forms::PopupMenu(QStringLiteral("Mnu_Aide"), QStringLiteral("Aide"), &dialog)),
      Mnu_Sommaire(
          Mnu_Aide->AddEntry(QStringLiteral("Mnu_Sommaire"), QStringLiteral("Aide_ORVANIS"))) {}

void DialogHelpMenu::Popup(std::int16_t button) const {
    if (button != kRightButton) return;
    Mnu_Aide->setEnabled(true);
    Mnu_Sommaire->setEnabled(true);
    Mnu_Aide->Popup();
}

}  // namespace zonitra
