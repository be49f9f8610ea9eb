#include "session.h"

#include <control/ctr_secteur.h>
#include <forms/combobox.h>
#include <forms/focus.h>
#include <kelmor/database.h>
#include <kelmor/forwarding_backend.h>

#include <QLineEdit>
#include <QStringList>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace levels_test {

// Forwards to the real storage and notes every read, scan, count, page and
// write.
class CountingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    Texts calls;

    std::optional<std::string> Read(std::string_view file, std::string_view key) override {
        Note("read", file, key);
        return inner().Read(file, key);
    }
    void Write(std::string_view file, std::string_view key, std::string_view whole) override {
        Note("write", file, key);
        inner().Write(file, key, whole);
    }
    std::string failingFile;

    bool Insert(std::string_view file, std::string_view key, std::string_view whole) override {
        Note("insert", file, key);
        if (file == failingFile) throw kelmor::Error(kelmor::kStorageError, "disk full");
        return inner().Insert(file, key, whole);
    }
    void Begin() override {
        calls.push_back("begin");
        inner().Begin();
    }
    void Commit() override {
        calls.push_back("commit");
        inner().Commit();
    }
    void Rollback() noexcept override {
        calls.push_back("rollback");
        inner().Rollback();
    }
    std::int32_t failingWrites = 0;

    std::string Update(std::string_view file, std::string_view key,
                       const Updater& update) override {
        Note("write", file, key);  // DBWrite: a read-modify-write
        if (failingWrites != 0) throw kelmor::Error(failingWrites, "write refused by the test");
        return inner().Update(file, key, update);
    }
    bool Delete(std::string_view file, std::string_view key) override {
        Note("delete", file, key);
        return inner().Delete(file, key);
    }
    void Scan(std::string_view file, const kelmor::KeySelection& selection,
              const Visitor& visit) override {
        Note("scan", file, selection.text);
        inner().Scan(file, selection, visit);
    }
    std::int64_t Count(std::string_view file, const kelmor::KeySelection& selection) override {
        Note("count", file, selection.text);
        return inner().Count(file, selection);
    }
    // A page of a whole-file list, noted with the key it reads on from.
    std::vector<OrderedRow> Page(std::string_view file, Order order,
                                 const std::optional<OrderedRow>& after, std::int64_t skip,
                                 int limit) override {
        Note("page", file, after ? std::string_view(after->key) : std::string_view());
        return inner().Page(file, order, after, skip, limit);
    }

private:
    void Note(const char* what, std::string_view file, std::string_view key) {
        calls.push_back(std::string(what) + " " + std::string(file) + " " + std::string(key));
    }
};

Session::Session(kelmor::test::BackendKind kind) : database_(kind) {
    plain_ = database_.Open();
    // Attribute 12 of a sector is a CEDEX set, as the address dialog leaves it.
    kelmor::test::Fill(
        *plain_,
        {"SECTEUR;001;1=NORD;3=AG-1;4=12125;12=0;20=CR-1;21=05",
         "SECTEUR;002;1=CENTRE;3=AG-2;12=0;20=CR-2;21=69|SECTEUR;003;1=EST;12=0;21=2A",
         "SECTEUR;004;1=OUEST;12=0;21=29|SECTEUR;007;1=SUD;12=0;21=2B|SECTEUR;0AB;1=LETTRES;12=0;"
         "21=01",
         "SOUSSECTEUR;00101;1=VERGERS|SOUSSECTEUR;00102;1=ABBAYE|SOUSSECTEUR;00103;1=MOULIN",
         "SOUSSECTEUR;00201;1=CENTRE VILLE|SOUSSECTEUR;00401;1=PORT",
         "QUARTIER;0010101;1=PLACE;2=012004|QUARTIER;0010201;1=TILLEULS;2=005001",
         "QUARTIER;0010202;1=CLOITRE;2=012005|QUARTIER;0010203;1=BEFFROI;2=099001",
         "QUARTIER;0020101;1=MAIRIE;2=005001|QUARTIER;0040101;1=QUAI;2=012001",
         "QUARTIER;0040102;1=DIGUE;2=012009",
         "CENTREMEDICAL;005;1=ARCHE|CENTREMEDICAL;012;1=LILAS|CENTREMEDICAL;030;1=DUNES",
         "ANTENNEMEDICALE;005001;1=PONT|ANTENNEMEDICALE;012001;1=HALLES",
         "ANTENNEMEDICALE;012004;1=PORTE|ANTENNEMEDICALE;012005;1=GARE",
         "ASSOCIATION;001;1=ENTITE|COMPTEUR;999;1=COMPTEUR|DROITS;CHEF;1=SECTEUR;2=2"});
    counter_ = std::make_shared<CountingBackend>(
        std::shared_ptr<kelmor::Backend>(plain_, &plain_->backend()));
    recorded_ = drive::Record(std::make_shared<kelmor::Database>(counter_));
    driver_ = std::make_unique<drive::Driver>(recorded_, "CHEF");
    driver_->Start();
    // Init's own messages and writes belong to the shell's tests.
    TakeMessages();
    TakeWrites();
    TakeCalls();
}

void Session::Do(std::string_view lines) {
    std::istringstream in{std::string(lines)};
    for (std::string line; std::getline(in, line);) {
        std::ostringstream out;
        if (!driver_->Execute(line, out)) ADD_FAILURE() << "`" << line << "`: " << out.str();
    }
}

::testing::AssertionResult Session::Open(const std::string& codes) {
    std::istringstream in(codes);
    for (const char* field : {"Txt_CodeSecteur", "Txt_CodeSousSecteur", "Txt_CodeQuartier"}) {
        std::string code;
        if (!(in >> code)) break;
        if (Text(field) != code) Do(std::string("type ") + field + " " + code);
    }
    const Texts messages = TakeMessages(), writes = TakeWrites();
    TakeCalls();
    if (messages.empty() && writes.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "opening " << codes << " showed " << ::testing::PrintToString(messages)
           << " and wrote " << ::testing::PrintToString(writes);
}

std::string Session::Text(const char* name) const {
    auto* control = driver_->Editor()->findChild<QWidget*>(QString::fromLatin1(name));
    if (auto* combo = qobject_cast<forms::ComboBox*>(control)) return combo->Text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text().toStdString();
    throw std::logic_error(std::string("the editor has no text control ") + name);
}

std::string Session::Screen() const {
    std::string screen;
    bool first = true;
    for (const char* name :
         {"Txt_CodeSecteur", "Cbo_LibSecteur", "Txt_CodeSousSecteur", "Cbo_LibSousSecteur",
          "Txt_CodeQuartier", "Cbo_LibQuartier", "Txt_CodeCentreMedQuartier",
          "Cbo_LibCentreMedQuartier", "Txt_CodeAntMedQuartier", "Cbo_LibAntMedQuartier"})
        screen += (std::exchange(first, false) ? "" : ",") + Text(name);
    return screen;
}

Texts Session::Items(const char* name) const {
    auto* combo = driver_->Editor()->findChild<forms::ComboBox*>(QString::fromLatin1(name));
    if (!combo) throw std::logic_error(std::string("the editor has no list ") + name);
    Texts items;
    for (int i = 0; i < combo->ListCount(); ++i) items.push_back(combo->List(i).toStdString());
    return items;
}

std::string Session::Focus() const {
    const QWidget* focus = forms::FocusedControl();
    while (focus && focus->objectName().isEmpty() && !focus->isWindow())
        focus = focus->parentWidget();
    return focus && !focus->objectName().isEmpty() ? focus->objectName().toStdString() : "-";
}

Texts Session::TakeMessages() {
    Texts texts;
    for (const forms::MessageRecord& m : driver_->Ui().TakeMessages()) {
        EXPECT_EQ(m.title, QStringLiteral("Message ORVANIS")) << m.text.toStdString();
        texts.push_back(Box(m.text, m.icon));
        if (m.buttons == std::vector<int>{forms::vbOK}) continue;
        QStringList words;
        for (int button : m.buttons) words << forms::AnswerWord(button);
        texts.back() +=
            " [" + (words.join(u' ') + ": " + forms::AnswerWord(m.answer)).toStdString() + "]";
    }
    return texts;
}

void Session::FailInsertsInto(const std::string& file) {
    counter_->failingFile = file;
}

void Session::FailWritesWith(std::int32_t number) {
    counter_->failingWrites = number;
}

void Session::OtherWorkstationSets(const std::string& file, const std::string& key, int attr,
                                   const std::string& value) {
    kelmor::DbRecord record = Other().OpenFile(file).ReadRecord(key);
    record.Set(attr, value);
    record.DBWrite();
}

kelmor::Database& Session::Other() {
    if (!other_) other_ = database_.Open(kelmor::OpenMode::MustExist);
    return *other_;
}

bool Session::Enabled(const char* name) const {
    auto* control = driver_->Editor()->findChild<QWidget*>(QString::fromLatin1(name));
    if (!control) throw std::logic_error(std::string("the editor has no control ") + name);
    return control->isEnabled();
}

Texts Session::TakeWrites() {
    Texts writes;
    for (const drive::WriteNote& note : recorded_.recorder->TakeWrites())
        writes.push_back(note.file + " " + note.key);
    return writes;
}

Texts Session::TakeCalls() {
    return std::exchange(counter_->calls, {});
}

std::string Session::Stored(const std::string& file, const std::string& key, int attr) const {
    kelmor::ReadResult read = plain_->OpenFile(file).TryReadRecord(key);
    return read.record ? read.record->Get(attr) : "<none>";
}

std::string Box(const QString& text, int icon) {
    return "icon " + std::to_string(icon) + ": " + text.toStdString();
}

}  // namespace levels_test
