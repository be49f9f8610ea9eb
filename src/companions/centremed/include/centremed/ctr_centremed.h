#pragma once
// Ctr_CentreMed: a small editor of the medical centres (CENTREMEDICAL, key =
// three-digit code, attribute 1 = label) and of their antennas
// (ANTENNEMEDICALE, key = centre code + three-digit code, attribute 1 =
// label). It lists the centres, the antennas of the chosen centre, adds one
// with the first free code and renames the chosen one; labels are stored in
// upper case. Nothing is ever deleted.
//
// The host sets the rights, database and client objects, then calls Init
// (again each time it shows the editor: Init starts afresh). "Fermer" sets
// G_SortirCentreMed and closes the window holding the editor; a host form
// reads the flag to let itself close only then.
//
// Rights: a user whose level on the module "CENTREMEDICAL" is 2 may add and
// rename; anyone else only looks (the buttons are hidden, the labels
// read-only). Operator mistakes are message boxes titled "Message ORVANIS";
// failures of the database library propagate as the library raises them.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "forms/form.h"
#include "kelmor/database.h"
#include "services/client_object.h"
#include "services/droits.h"

class QListWidget;

namespace forms {
class Button;
class Frame;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

inline constexpr const char* kCentreMedModule = "CENTREMEDICAL";

class Ctr_CentreMed : public forms::Form {
    Q_OBJECT
public:
    explicit Ctr_CentreMed(QWidget* parent = nullptr);
    ~Ctr_CentreMed() override;

    // The operator left with "Fermer" (16-bit Boolean, True = -1). Init clears it.
    std::int16_t G_SortirCentreMed = 0;

    // Holds the object and asks it at once for the rights of "CENTREMEDICAL";
    // an error of the rights library propagates and nothing is replaced then.
    void SetDroitsUtilisateur(const std::shared_ptr<services::DroitsUtilisateur>& droits);
    void SetTheDatabase(std::shared_ptr<kelmor::Database> database);
    void SetTheClient(ClientObject client);

    // Opens both files, applies the rights, clears the exit flag and the
    // fields, and lists the centres (none chosen). Throws std::logic_error when
    // the rights or the database were not set, kelmor::Error when a file is
    // missing.
    void Init();

    bool CanModify() const { return canModify_; }
    QSize sizeHint() const override;

private:
    void BuildScreen();
    void ApplyRights();
    void FillCentres(const std::string& select = {});
    void FillAntennes(const std::string& select = {});
    void Lst_CentreMed_Change();
    void Lst_AntenneMed_Change();
    void Cmd_AjouterCentreMed_Click();
    void Cmd_RenommerCentreMed_Click();
    void Cmd_AjouterAntenneMed_Click();
    void Cmd_RenommerAntenneMed_Click();
    void Cmd_Fermer_Click();

    // The chosen centre's code, "" when none.
    std::string ChosenCentre() const;
    // The label typed in `field`, trimmed and upper-cased there; nothing
    // (after a message naming `what`) when it is empty.
    std::optional<std::string> TypedLabel(forms::TextBox* field, const QString& what);
    void Add(forms::TextBox* field, const kelmor::DbFile& file, const std::string& prefix,
             const std::set<std::string>& known, const QString& what, bool centre);
    void Rename(QListWidget* list, forms::TextBox* field, const kelmor::DbFile& file,
                const QString& what, bool centre);

    std::shared_ptr<services::DroitsUtilisateur> droits_;
    std::optional<services::ModuleAccess> access_;
    std::shared_ptr<kelmor::Database> database_;
    ClientObject client_;
    std::optional<kelmor::DbFile> centres_;
    std::optional<kelmor::DbFile> antennes_;
    bool canModify_ = false;

    forms::Frame* Cdr_CentreMed = nullptr;
    QListWidget* Lst_CentreMed = nullptr;
    forms::Label* Etq_LibCentreMed = nullptr;
    forms::TextBox* Txt_LibCentreMed = nullptr;
    forms::Button* Cmd_AjouterCentreMed = nullptr;
    forms::Button* Cmd_RenommerCentreMed = nullptr;
    forms::Frame* Cdr_AntenneMed = nullptr;
    QListWidget* Lst_AntenneMed = nullptr;
    forms::Label* Etq_LibAntenneMed = nullptr;
    forms::TextBox* Txt_LibAntenneMed = nullptr;
    forms::Button* Cmd_AjouterAntenneMed = nullptr;
    forms::Button* Cmd_RenommerAntenneMed = nullptr;
    forms::Button* Cmd_Fermer = nullptr;
};

}  // namespace zonitra
