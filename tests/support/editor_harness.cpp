#include "editor_harness.h"

#include <control/ctr_secteur.h>
#include <control/secteur_editor.h>
#include <forms/combobox.h>
#include <forms/focus.h>
#include <forms/msgbox.h>
#include <kelmor/database.h>
#include <kelmor/forwarding_backend.h>

#include <QLineEdit>
#include <QStringList>
#include <sstream>
#include <stdexcept>

#include "host_database.h"

namespace harness {

// Forwards to the real storage and notes every read, scan, count, page and
// write.
class CountingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    Texts calls;
    std::string failingFile;
    std::int32_t failingWrites = 0;

    std::optional<std::string> Read(std::string_view file, std::string_view key) override {
        Note("read", file, key);
        return inner().Read(file, key);
    }
    void Write(std::string_view file, std::string_view key, std::string_view whole) override {
        Note("write", file, key);
        inner().Write(file, key, whole);
    }
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

TestData::TestData(const std::vector<std::string>& records, BackendKind kind) : database_(kind) {
    if (records.empty()) {
        if (kind != BackendKind::Sqlite)
            throw std::logic_error("the demo data is loaded into an SQLite file only");
        host::CreateFromJsonLines(database_.Location(), ZONITRA_DEMO_JSONL);
        plain_ = database_.Open(kelmor::OpenMode::MustExist);
    } else {
        plain_ = database_.Open();
        for (const std::string& record : records) kelmor::test::Fill(*plain_, {record});
    }
    counter_ = std::make_shared<CountingBackend>(
        std::shared_ptr<kelmor::Backend>(plain_, &plain_->backend()));
    recorded_ = drive::Record(std::make_shared<kelmor::Database>(counter_));
}

Texts TestData::TakeWrites() {
    Texts writes;
    for (const drive::WriteNote& note : recorded_.recorder->TakeWrites())
        writes.push_back(note.file + " " + note.key);
    return writes;
}

Texts TestData::TakeCalls() {
    return std::exchange(counter_->calls, {});
}

void TestData::FailInsertsInto(const std::string& file) {
    counter_->failingFile = file;
}

void TestData::FailWritesWith(std::int32_t number) {
    counter_->failingWrites = number;
}

std::shared_ptr<kelmor::Database> TestData::OpenOther() const {
    return database_.Open(kelmor::OpenMode::MustExist);
}

void TestData::OtherWorkstationSets(const std::string& file, const std::string& key,
                                    const Values& values) {
    kelmor::DbRecord record = OpenOther()->OpenFile(file).ReadRecord(key);
    for (const auto& [attr, value] : values) record.Set(attr, value);
    record.DBWrite();
}

std::string TestData::Stored(const std::string& file, const std::string& key, int attr) const {
    kelmor::ReadResult read = plain_->OpenFile(file).TryReadRecord(key);
    return read.record ? read.record->Get(attr) : "<none>";
}

Session::Session(const std::string& user, const std::vector<std::string>& records, BackendKind kind)
    : TestData(records, kind), driver_(std::make_unique<drive::Driver>(Recorded(), user)) {
    driver_->Start();
}

void Session::OfferHostButtons() {
    driver_->Editor()->OfferMedicalCentreEditor(true);
    driver_->Editor()->OfferDocumentSettings(true);
}

Played Session::PlayAnyway(std::string_view script) {
    std::istringstream in{std::string(script)};
    std::ostringstream out;
    Played played;
    played.status = driver_->Play(in, out);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) played.lines.push_back(Json::parse(line));
    return played;
}

std::vector<Json> Session::Play(std::string_view script) {
    std::vector<Json> printed = PlayAnyway(script).lines;
    for (const Json& line : printed)
        if (line.contains("error")) ADD_FAILURE() << line.dump();
    return printed;
}

zonitra::SecteurEditor& Session::Editor() const {
    return zonitra::EditorOf(*driver_->Editor());
}

namespace {

template <typename T>
T* Named(const drive::Driver& driver, const char* name) {
    auto* control = driver.Editor()->findChild<T*>(QString::fromLatin1(name));
    if (!control) throw std::logic_error(std::string("the editor has no such control ") + name);
    return control;
}

}  // namespace

std::string Session::Text(const char* name) const {
    auto* control = Named<QWidget>(*driver_, name);
    if (auto* combo = qobject_cast<forms::ComboBox*>(control)) return combo->Text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text().toStdString();
    throw std::logic_error(std::string("the editor has no text control ") + name);
}

Texts Session::Items(const char* name) const {
    return ItemsOf(*Named<forms::ComboBox>(*driver_, name));
}

bool Session::Enabled(const char* name) const {
    return Named<QWidget>(*driver_, name)->isEnabled();
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

Texts ItemsOf(const forms::ComboBox& list) {
    Texts items;
    for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i).toStdString());
    return items;
}

std::string Box(const QString& text, int icon) {
    return "icon " + std::to_string(icon) + ": " + text.toStdString();
}

}  // namespace harness
