#include "centremed/ctr_centremed.h"

#include <QGridLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>

#include "centremed/free_code.h"
#include "forms/button.h"
#include "forms/focus.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/msgbox.h"
#include "forms/textbox.h"
#include "forms/twips.h"
#include "forms/uiservice.h"
#include "kelmor/dynarray.h"

namespace zonitra {
namespace {

const QString kTitle = QStringLiteral("Message ORVANIS");
constexpr const char* kCentreFile = "CENTREMEDICAL";
constexpr const char* kAntenneFile = "ANTENNEMEDICALE";
constexpr int kLibelle = 1;
constexpr int kKeyRole = Qt::UserRole;
constexpr int kLabelRole = Qt::UserRole + 1;

void Warn(const QString& text) {
    forms::Ui().MsgBox(text, forms::vbExclamation, kTitle);
}

std::string KeyOf(const QListWidgetItem* item) {
    return item ? item->data(kKeyRole).toString().toStdString() : std::string();
}

// The chosen entry is the selected one, not the current one: a list taking
// the keyboard focus makes its first entry current without choosing it.
QListWidgetItem* Chosen(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

// Rows (key, label) of the query, in its order.
kelmor::ResultList KeysAndLabels(const kelmor::Database& db, const std::string& query,
                                 const char* file) {
    kelmor::DynArray request;
    request.Set(1, query);
    request.Set(2, file);
    request.Set(3, "0 1");
    std::int32_t count = 0;
    return db.Query(request.Text(), "", count);
}

// Lists the rows as "code  label"; the code shown is what follows `prefix`.
// The row keyed `select` is made current (none when absent), quietly.
void Fill(QListWidget* list, const kelmor::ResultList& rows, std::size_t prefix,
          const std::string& select) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (int r = 1; r <= rows.DCount(); ++r) {
        const std::string key = rows.Get(r, 1);
        const QString label = QString::fromStdString(rows.Get(r, 2));
        auto* item = new QListWidgetItem(
            QString::fromStdString(key.substr(std::min(prefix, key.size()))) + "  " + label, list);
        item->setData(kKeyRole, QString::fromStdString(key));
        item->setData(kLabelRole, label);
        if (key == select) list->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    }
}

std::set<std::string> Keys(const QListWidget* list) {
    std::set<std::string> keys;
    for (int i = 0; i < list->count(); ++i) keys.insert(KeyOf(list->item(i)));
    return keys;
}

QListWidget* MakeList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);  // the query's order, by label
    return list;
}

}  // namespace

Ctr_CentreMed::Ctr_CentreMed(QWidget* parent) : forms::Form(parent) {
    setObjectName(QStringLiteral("Ctr_CentreMed"));
    BuildScreen();
    resize(sizeHint());
}

Ctr_CentreMed::~Ctr_CentreMed() = default;

QSize Ctr_CentreMed::sizeHint() const {
    return {forms::TwipsToPixelsX(7200, this), forms::TwipsToPixelsY(6600, this)};
}

void Ctr_CentreMed::BuildScreen() {
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    auto* layout = new QVBoxLayout(this);
    auto makeFrame = [&](const char* frameName, const QString& caption, const char* listName,
                         const char* labelName, const char* textName, const char* addName,
                         const char* renameName, QListWidget*& list, forms::Label*& label,
                         forms::TextBox*& text, forms::Button*& add, forms::Button*& rename) {
        auto* frame = named(new forms::Frame(caption, this), frameName);
        auto* grid = new QGridLayout(frame);
        list = MakeList(listName, frame);
        label = named(new forms::Label(QStringLiteral("Libellé"), frame), labelName);
        text = named(new forms::TextBox(frame), textName);
        add = named(new forms::Button(QStringLiteral("Ajouter"), frame), addName);
        rename = named(new forms::Button(QStringLiteral("Renommer"), frame), renameName);
        grid->addWidget(list, 0, 0, 1, 4);
        grid->addWidget(label, 1, 0);
        grid->addWidget(text, 1, 1);
        grid->addWidget(add, 1, 2);
        grid->addWidget(rename, 1, 3);
        layout->addWidget(frame, 1);
        return frame;
    };
    Cdr_CentreMed = makeFrame("Cdr_CentreMed", QStringLiteral("Centres médicaux"), "Lst_CentreMed",
                              "Etq_LibCentreMed", "Txt_LibCentreMed", "Cmd_AjouterCentreMed",
                              "Cmd_RenommerCentreMed", Lst_CentreMed, Etq_LibCentreMed,
                              Txt_LibCentreMed, Cmd_AjouterCentreMed, Cmd_RenommerCentreMed);
    Cdr_AntenneMed = makeFrame(
        "Cdr_AntenneMed", QStringLiteral("Antennes médicales du centre choisi"), "Lst_AntenneMed",
        "Etq_LibAntenneMed", "Txt_LibAntenneMed", "Cmd_AjouterAntenneMed", "Cmd_RenommerAntenneMed",
        Lst_AntenneMed, Etq_LibAntenneMed, Txt_LibAntenneMed, Cmd_AjouterAntenneMed,
        Cmd_RenommerAntenneMed);
    Cmd_Fermer = named(new forms::Button(QStringLiteral("Fermer"), this), "Cmd_Fermer");
    layout->addWidget(Cmd_Fermer, 0, Qt::AlignRight);

    int tab = 0;
    for (QWidget* w :
         {static_cast<QWidget*>(Lst_CentreMed), static_cast<QWidget*>(Txt_LibCentreMed),
          static_cast<QWidget*>(Cmd_AjouterCentreMed), static_cast<QWidget*>(Cmd_RenommerCentreMed),
          static_cast<QWidget*>(Lst_AntenneMed), static_cast<QWidget*>(Txt_LibAntenneMed),
          static_cast<QWidget*>(Cmd_AjouterAntenneMed),
          static_cast<QWidget*>(Cmd_RenommerAntenneMed), static_cast<QWidget*>(Cmd_Fermer)})
        SetTabIndex(w, tab++);

    connect(Lst_CentreMed, &QListWidget::itemSelectionChanged, this,
            [this] { Lst_CentreMed_Change(); });
    connect(Lst_AntenneMed, &QListWidget::itemSelectionChanged, this,
            [this] { Lst_AntenneMed_Change(); });
    Cmd_AjouterCentreMed->Click = [this] { Cmd_AjouterCentreMed_Click(); };
    Cmd_RenommerCentreMed->Click = [this] { Cmd_RenommerCentreMed_Click(); };
    Cmd_AjouterAntenneMed->Click = [this] { Cmd_AjouterAntenneMed_Click(); };
    Cmd_RenommerAntenneMed->Click = [this] { Cmd_RenommerAntenneMed_Click(); };
    Cmd_Fermer->Click = [this] { Cmd_Fermer_Click(); };
}

void Ctr_CentreMed::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& droits) {
    if (!droits) throw std::invalid_argument("Ctr_CentreMed.DroitsUtilisateur: no rights object");
    services::ModuleAccess access = droits->ModuleRights(kCentreMedModule);
    droits_ = droits;
    access_ = std::move(access);
}

void Ctr_CentreMed::SetTheDatabase(std::shared_ptr<kelmor::Database> database) {
    database_ = std::move(database);
}

void Ctr_CentreMed::SetTheClient(ClientObject client) {
    client_ = std::move(client);
}

void Ctr_CentreMed::Init() {
    if (!access_) throw std::logic_error("Ctr_CentreMed.Init: DroitsUtilisateur was not set");
    if (!database_) throw std::logic_error("Ctr_CentreMed.Init: TheDatabase was not set");
    centres_ = database_->OpenFile(kCentreFile);
    antennes_ = database_->OpenFile(kAntenneFile);
    G_SortirCentreMed = 0;
    ApplyRights();
    FillCentres();
}

void Ctr_CentreMed::ApplyRights() {
    canModify_ = access_->AccessLevel() == services::kLevelModify;
    for (forms::Button* b : {Cmd_AjouterCentreMed, Cmd_RenommerCentreMed, Cmd_AjouterAntenneMed,
                             Cmd_RenommerAntenneMed})
        b->setVisible(canModify_);
    Txt_LibCentreMed->setReadOnly(!canModify_);
    Txt_LibAntenneMed->setReadOnly(!canModify_);
}

std::string Ctr_CentreMed::ChosenCentre() const {
    return KeyOf(Chosen(Lst_CentreMed));
}

void Ctr_CentreMed::FillCentres(const std::string& select) {
    Fill(Lst_CentreMed, KeysAndLabels(*database_, "SSELECT CENTREMEDICAL PAR 1", kCentreFile), 0,
         select);
    Lst_CentreMed_Change();
}

void Ctr_CentreMed::FillAntennes(const std::string& select) {
    const std::string centre = ChosenCentre();
    if (centre.empty()) {
        Fill(Lst_AntenneMed, kelmor::ResultList(), 0, {});
    } else {
        Fill(Lst_AntenneMed,
             KeysAndLabels(*database_, "SSELECT ANTENNEMEDICALE = '" + centre + "]' PAR 1",
                           kAntenneFile),
             centre.size(), select);
    }
    Lst_AntenneMed_Change();
}

void Ctr_CentreMed::Lst_CentreMed_Change() {
    const QListWidgetItem* item = Chosen(Lst_CentreMed);
    Txt_LibCentreMed->SetText(item ? item->data(kLabelRole).toString() : QString());
    FillAntennes();
}

void Ctr_CentreMed::Lst_AntenneMed_Change() {
    const QListWidgetItem* item = Chosen(Lst_AntenneMed);
    Txt_LibAntenneMed->SetText(item ? item->data(kLabelRole).toString() : QString());
}

std::optional<std::string> Ctr_CentreMed::TypedLabel(forms::TextBox* field, const QString& what) {
    const QString label = field->Text().trimmed().toUpper();
    if (label.isEmpty()) {
        Warn(QStringLiteral("Le libellé %1 doit être renseigné.").arg(what));
        forms::SetFocus(field);
        return std::nullopt;
    }
    field->SetText(label);
    return label.toStdString();
}

void Ctr_CentreMed::Add(forms::TextBox* field, const kelmor::DbFile& file,
                        const std::string& prefix, const std::set<std::string>& known,
                        const QString& what, bool centre) {
    const std::optional<std::string> label = TypedLabel(field, what);
    if (!label) return;
    const std::optional<std::string> code = centremed::FirstFreeCode(file, prefix, known);
    if (!code) {
        Warn(centre ? QStringLiteral("Tous les codes de centre médical, de 001 à 999, sont "
                                     "déjà pris.")
                    : QStringLiteral("Tous les codes d'antenne de ce centre médical, de 001 "
                                     "à 999, sont déjà pris."));
        return;
    }
    kelmor::DbRecord record = file.NewRecord(prefix + *code);
    record.Set(kLibelle, *label);
    record.DBWrite();
    if (centre) {
        FillCentres(record.Key());
        forms::SetFocus(Lst_CentreMed);
    } else {
        FillAntennes(record.Key());
        forms::SetFocus(Lst_AntenneMed);
    }
}

void Ctr_CentreMed::Rename(QListWidget* list, forms::TextBox* field, const kelmor::DbFile& file,
                           const QString& what, bool centre) {
    const std::string key = KeyOf(Chosen(list));
    if (key.empty()) {
        Warn(centre ? QStringLiteral("Choisissez d'abord dans la liste le centre médical à "
                                     "renommer.")
                    : QStringLiteral("Choisissez d'abord dans la liste l'antenne médicale à "
                                     "renommer."));
        forms::SetFocus(list);
        return;
    }
    const std::optional<std::string> label = TypedLabel(field, what);
    if (!label) return;
    // Read again: the list may be older than the record.
    kelmor::DbRecord record = file.ReadRecord(key);
    if (record.Get(kLibelle) == *label) return;
    record.Set(kLibelle, *label);
    record.DBWrite();
    if (centre) {
        FillCentres(key);
    } else {
        FillAntennes(key);
    }
}

void Ctr_CentreMed::Cmd_AjouterCentreMed_Click() {
    Add(Txt_LibCentreMed, *centres_, "", Keys(Lst_CentreMed), QStringLiteral("du centre médical"),
        true);
}

void Ctr_CentreMed::Cmd_RenommerCentreMed_Click() {
    Rename(Lst_CentreMed, Txt_LibCentreMed, *centres_, QStringLiteral("du centre médical"), true);
}

void Ctr_CentreMed::Cmd_AjouterAntenneMed_Click() {
    const std::string centre = ChosenCentre();
    if (centre.empty()) {
        Warn(
            QStringLiteral("Choisissez d'abord dans la liste le centre médical de la nouvelle "
                           "antenne."));
        forms::SetFocus(Lst_CentreMed);
        return;
    }
    Add(Txt_LibAntenneMed, *antennes_, centre, Keys(Lst_AntenneMed),
        QStringLiteral("de l'antenne médicale"), false);
}

void Ctr_CentreMed::Cmd_RenommerAntenneMed_Click() {
    Rename(Lst_AntenneMed, Txt_LibAntenneMed, *antennes_, QStringLiteral("de l'antenne médicale"),
           false);
}

void Ctr_CentreMed::Cmd_Fermer_Click() {
    G_SortirCentreMed = -1;
    forms::UnloadWindowOf(this);
}

}  // namespace zonitra
