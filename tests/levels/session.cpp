#include "session.h"

#include <control/ctr_secteur.h>
#include <forms/combobox.h>
#include <forms/focus.h>
#include <forms/textbox.h>
#include <kelmor/database.h>

#include <QLineEdit>
#include <sstream>
#include <stdexcept>

namespace levels_test {
namespace {

void Put(kelmor::Database& db, const char* file, const std::string& key,
         const std::vector<std::vector<std::string>>& attributes) {
    kelmor::DbRecord record = db.OpenFile(file).NewRecord(key);
    for (std::size_t a = 0; a < attributes.size(); ++a)
        record.SetValues(static_cast<int>(a + 1), attributes[a]);
    record.DBWrite();
}

// Attributes 1 to 21 of a sector: label, approval number, date, CRAM, département.
std::vector<std::vector<std::string>> Sector(const std::string& label, const std::string& agrement,
                                             const std::string& date, const std::string& cram,
                                             const std::string& dep) {
    std::vector<std::vector<std::string>> a(21, std::vector<std::string>{""});
    a[0] = {label};
    a[2] = {agrement};
    a[3] = {date};
    a[11] = {"0"};  // an address whose CEDEX is set, as the address dialog leaves it
    a[19] = {cram};
    a[20] = {dep};
    return a;
}

}  // namespace

void BuildFixture(kelmor::Database& db, const Options& options) {
    for (const char* file : {"SECTEUR", "SOUSSECTEUR", "QUARTIER", "CENTREMEDICAL",
                             "ANTENNEMEDICALE", "ASSOCIATION", "COMPTEUR", "DROITS"})
        db.CreateFile(file);
    Put(db, "SECTEUR", "001", Sector("NORD", "AG-1", "12125", "CR-1", "05"));
    Put(db, "SECTEUR", "002", Sector("CENTRE", "AG-2", "", "CR-2", "69"));
    Put(db, "SECTEUR", "003", Sector("EST", "", "", "", "2A"));
    Put(db, "SECTEUR", "004", Sector("OUEST", "", "", "", "29"));
    Put(db, "SECTEUR", "007", Sector("SUD", "", "", "", "2B"));
    Put(db, "SECTEUR", "0AB", Sector("LETTRES", "", "", "", "01"));

    Put(db, "SOUSSECTEUR", "00101", {{"VERGERS"}});
    Put(db, "SOUSSECTEUR", "00102", {{"ABBAYE"}});
    Put(db, "SOUSSECTEUR", "00103", {{"MOULIN"}});
    Put(db, "SOUSSECTEUR", "00201", {{"CENTRE VILLE"}});
    Put(db, "SOUSSECTEUR", "00401", {{"PORT"}});

    Put(db, "QUARTIER", "0010101", {{"PLACE"}, {"012004"}});
    Put(db, "QUARTIER", "0010201", {{"TILLEULS"}, {"005001"}});
    Put(db, "QUARTIER", "0010202", {{"CLOITRE"}, {"012005"}});
    Put(db, "QUARTIER", "0010203", {{"BEFFROI"}, {"099001"}});
    Put(db, "QUARTIER", "0020101", {{"MAIRIE"}, {"005001"}});
    Put(db, "QUARTIER", "0040101", {{"QUAI"}, {"012001"}});
    Put(db, "QUARTIER", "0040102", {{"DIGUE"}, {"012009"}});

    Put(db, "CENTREMEDICAL", "005", {{"ARCHE"}});
    Put(db, "CENTREMEDICAL", "012", {{"LILAS"}});
    Put(db, "CENTREMEDICAL", "030", {{"DUNES"}});
    Put(db, "ANTENNEMEDICALE", "005001", {{"PONT"}});
    Put(db, "ANTENNEMEDICALE", "012001", {{"HALLES"}});
    Put(db, "ANTENNEMEDICALE", "012004", {{"PORTE"}});
    Put(db, "ANTENNEMEDICALE", "012005", {{"GARE"}});

    for (int i = 1; i <= options.associations; ++i)
        Put(db, "ASSOCIATION", "00" + std::to_string(i), {{"ENTITE " + std::to_string(i)}});
    Put(db, "COMPTEUR", "999", {{"COMPTEUR"}});
    Put(db, "DROITS", kUser, {{"SECTEUR"}, {"2"}});
    Put(db, "DROITS", kLevel1User, {{"SECTEUR"}, {"1"}});
}

Session::Session(const Options& options) {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder for the fixture database");
    plain_ = kelmor::Database::OpenSqlite(dir_.filePath("levels.db").toStdString());
    BuildFixture(*plain_, options);
    recorded_ = drive::Record(plain_);
    driver_ = std::make_unique<drive::Driver>(recorded_, options.user);
    driver_->Start();
    // Init's own messages and writes belong to the shell's tests.
    TakeMessages();
    TakeWrites();
}

Session::~Session() {
    driver_.reset();
}

void Session::Do(std::string_view lines) {
    std::size_t start = 0;
    while (start <= lines.size()) {
        const std::size_t end = std::min(lines.find('\n', start), lines.size());
        const std::string_view line = lines.substr(start, end - start);
        std::ostringstream out;
        if (!driver_->Execute(line, out)) ADD_FAILURE() << "`" << line << "`: " << out.str();
        start = end + 1;
    }
}

::testing::AssertionResult Session::Open(const std::string& sector, const std::string& subSector,
                                         const std::string& neighbourhood) {
    Do("type Txt_CodeSecteur " + sector);
    if (!subSector.empty() && Text("Txt_CodeSousSecteur") != subSector)
        Do("type Txt_CodeSousSecteur " + subSector);
    if (!neighbourhood.empty() && Text("Txt_CodeQuartier") != neighbourhood)
        Do("type Txt_CodeQuartier " + neighbourhood);
    const auto messages = TakeMessages();
    const auto writes = TakeWrites();
    if (!messages.empty())
        return ::testing::AssertionFailure()
               << "opening " << sector << subSector << neighbourhood << " showed \""
               << messages.front().text.toStdString() << "\"";
    if (!writes.empty())
        return ::testing::AssertionFailure()
               << "opening " << sector << subSector << neighbourhood << " wrote " << writes.front();
    const std::pair<const char*, std::string> codes[] = {{"Txt_CodeSecteur", sector},
                                                         {"Txt_CodeSousSecteur", subSector},
                                                         {"Txt_CodeQuartier", neighbourhood}};
    for (const auto& [field, code] : codes)
        if (!code.empty() && Text(field) != code)
            return ::testing::AssertionFailure()
                   << field << " shows \"" << Text(field) << "\" instead of " << code;
    return ::testing::AssertionSuccess();
}

QWidget* Session::Control(const char* name) const {
    auto* control = driver_->Editor()->findChild<QWidget*>(QString::fromLatin1(name));
    if (!control) throw std::logic_error(std::string("the editor has no control ") + name);
    return control;
}

std::string Session::Text(const char* name) const {
    QWidget* control = Control(name);
    if (auto* combo = qobject_cast<forms::ComboBox*>(control)) return combo->Text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text().toStdString();
    throw std::logic_error(std::string(name) + " has no text");
}

Texts Session::TextsOf(std::initializer_list<const char*> controls) const {
    Texts texts;
    for (const char* name : controls) texts.push_back(Text(name));
    return texts;
}

Texts Session::Items(const char* name) const {
    auto* combo = qobject_cast<forms::ComboBox*>(Control(name));
    if (!combo) throw std::logic_error(std::string(name) + " is not a list");
    Texts items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

bool Session::Enabled(const char* name) const {
    return Control(name)->isEnabled();
}

std::string Session::Focus() const {
    const QWidget* focus = forms::FocusedControl();
    while (focus && focus->objectName().isEmpty() && !focus->isWindow())
        focus = focus->parentWidget();
    return focus && !focus->objectName().isEmpty() ? focus->objectName().toStdString() : "-";
}

std::vector<forms::MessageRecord> Session::TakeMessages() {
    return driver_->Ui().TakeMessages();
}

Texts Session::TakeWrites() {
    Texts writes;
    for (const drive::WriteNote& note : recorded_.recorder->TakeWrites())
        writes.push_back(note.file + " " + note.key);
    return writes;
}

std::string Session::Stored(const std::string& file, const std::string& key, int attr) const {
    kelmor::ReadResult read = plain_->OpenFile(file).TryReadRecord(key);
    if (!read.record) return "<none>";
    return read.record->Get(attr);
}

::testing::AssertionResult OneBox(const std::vector<forms::MessageRecord>& messages,
                                  const QString& text, int icon) {
    if (messages.size() != 1) {
        auto failure = ::testing::AssertionFailure()
                       << messages.size() << " message boxes instead of one";
        for (const auto& m : messages) failure << "\n  \"" << m.text.toStdString() << "\"";
        return failure;
    }
    const forms::MessageRecord& m = messages.front();
    if (m.text != text)
        return ::testing::AssertionFailure() << "text \"" << m.text.toStdString()
                                             << "\", expected \"" << text.toStdString() << "\"";
    if (m.title != QString::fromLatin1(kTitle))
        return ::testing::AssertionFailure() << "title \"" << m.title.toStdString() << "\"";
    if (m.icon != icon)
        return ::testing::AssertionFailure() << "icon " << m.icon << ", expected " << icon;
    if (m.buttons != std::vector<int>{forms::vbOK})
        return ::testing::AssertionFailure() << m.buttons.size() << " buttons, expected OK alone";
    return ::testing::AssertionSuccess();
}

}  // namespace levels_test
