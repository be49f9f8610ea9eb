#include "driver.h"

#include <control/registry.h>
#include <control/screen_model.h>
#include <control/secteur_editor.h>
#include <forms/focus.h>
#include <forms/modalform.h>
#include <forms/msgbox.h>
#include <help/help_viewer.h>
#include <host_database.h>
#include <kelmor/database.h>
#include <services/droits.h>
#include <services/jsonl.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <istream>
#include <ostream>

#include "operator.h"

namespace drive {
namespace {

const QString kHostFormName = QStringLiteral("Frm_Host");
const QString kEditorName = QStringLiteral("Ctr_Secteur");

// A name that does not exist where the operator looks.
class NameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<QString> ScreenModelOrder() {
    std::vector<QString> order;
    for (const zonitra::ControlDef& def : zonitra::ScreenModel())
        order.push_back(QString::fromUtf8(def.name.data(), qsizetype(def.name.size())));
    return order;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

Json WordsOf(const std::vector<int>& answers) {
    Json words = Json::array();
    for (int answer : answers) words.push_back(ToStd(forms::AnswerWord(answer)));
    return words;
}

// The host window: the editor alone, at its design size. Closing it (the
// editor's "Sortir" unloads it) only hides it: the script may still ask for
// the state.
class OffscreenHost : public QWidget {
public:
    OffscreenHost() {
        setObjectName(kHostFormName);
        setWindowTitle(QStringLiteral("Secteurs"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }
};

}  // namespace

RecordedDatabase Record(const std::shared_ptr<kelmor::Database>& plain) {
    // The backend stays owned with the plain database that opened it.
    std::shared_ptr<kelmor::Backend> backend(plain, &plain->backend());
    auto recorder = std::make_shared<RecordingBackend>(std::move(backend));
    return {std::make_shared<kelmor::Database>(recorder), recorder};
}

Driver::Driver(RecordedDatabase database, std::string user)
    : database_(std::move(database)), user_(std::move(user)), scopedUi_(ui_) {
    ui_.ModalShown = [this](forms::ModalForm& form) { OnModalShown(form); };
}

Driver::~Driver() {
    ui_.ModalShown = nullptr;
    // The editor ends with its host form (UserControl_Terminate).
    host_.reset();
}

zonitra::Ctr_Secteur* Driver::Editor() const {
    return editor_.data();
}

void Driver::Start() {
    zonitra::RegisterServer();
    host_ = std::make_unique<OffscreenHost>();
    QWidget* created = zonitra::CreateComponent(zonitra::kSecteurComponentName, host_.get());
    editor_ = qobject_cast<zonitra::Ctr_Secteur*>(created);
    if (!editor_)
        throw std::logic_error("the component " + std::string(zonitra::kSecteurComponentName) +
                               " is not a Ctr_Secteur");
    host_->layout()->addWidget(editor_);
    editor_->SetDroitsUtilisateur(
        std::make_shared<services::DroitsUtilisateur>(*database_.database, user_));
    editor_->SetTheClient(
        std::make_shared<const host::ClientSession>(host::ClientSession{user_, "zonitra-drive"}));
    editor_->SetTheDatabase(database_.database);
    // As a host form does: Init while loading, then the form is shown.
    editor_->Init();
    host_->show();
    host_->activateWindow();
    if (!QTest::qWaitForWindowActive(host_.get()))
        throw std::runtime_error("the host form could not be shown");
    Settle();
}

int Driver::Play(std::istream& in, std::ostream& out) {
    in_ = &in;
    out_ = &out;
    line_ = 0;
    PlayLines({});
    in_ = nullptr;
    line_ = 0;
    out_ = nullptr;
    return failed_ ? 1 : 0;
}

void Driver::PlayLines(const std::function<bool()>& stop) {
    std::string line;
    while (!(stop && stop()) && std::getline(*in_, line)) {
        ++line_;
        Execute(line, *out_);
    }
}

void Driver::OnModalShown(forms::ModalForm& form) {
    if (!in_) return;  // shown outside a script: nothing to play
    QPointer<forms::ModalForm> dialog = &form;
    PlayLines([&] { return !dialog || !dialog->isVisible(); });
    if (dialog && dialog->isVisible()) {
        Error(*out_, "the script ended while the dialog " + ToStd(NameOf(dialog)) +
                         " is open; it is closed");
        if (!dialog->Unload()) {
            // Its Form_Unload refused: end its modal display all the same.
            dialog->hide();
            emit dialog->Unloaded();
        }
    }
}

bool Driver::Execute(std::string_view line, std::ostream& out) {
    try {
        if (std::optional<Command> command = ParseLine(line)) Run(*command, out);
        return true;
    } catch (const std::exception& e) {
        Error(out, e.what());
    }
    return false;
}

void Driver::Error(std::ostream& out, const std::string& message) {
    failed_ = true;
    Json error{{"error", message}};
    if (line_ > 0) error["line"] = line_;
    out << error.dump() << '\n' << std::flush;
}

void Driver::Run(const Command& command, std::ostream& out) {
    switch (command.verb) {
        case Verb::Focus:
            return Focus(Control(command.name));
        case Verb::Select:
            return SelectAll(Control(command.name));
        case Verb::Type:
            return Type(Control(command.name), Q(command.text));
        case Verb::Key:
            return PressKey(Control(command.name), command.key);
        case Verb::Clear:
            return Clear(Control(command.name));
        case Verb::Click:
            return Click(Control(command.name), Qt::LeftButton);
        case Verb::RClick:
            return Click(Control(command.name), Qt::RightButton);
        case Verb::Choose:
            return Choose(Control(command.name), command.index);
        case Verb::Menu:
            return ChooseMenuEntry(Q(command.name));
        case Verb::Answer:
            for (int answer : command.answers) ui_.QueueAnswer(answer);
            return;
        case Verb::Close:
            return CloseWindow(OpenWindow(command.name));
        case Verb::State:
            out << State().dump() << '\n' << std::flush;
            return;
        case Verb::Record:
            out << Record(command.name, command.text).dump() << '\n' << std::flush;
            return;
    }
}

QWidget* Driver::Control(const std::string& name) const {
    const QString wanted = Q(name);
    if (forms::ModalForm* dialog = ui_.ActiveModal()) {
        if (dialog->objectName() == wanted) return dialog;
        if (auto* control = dialog->findChild<QWidget*>(wanted)) return control;
    }
    if (editor_) {
        // The operator reaches the control through its surface.
        if (wanted == kEditorName) return &zonitra::EditorOf(*editor_);
        if (auto* control = editor_->findChild<QWidget*>(wanted)) return control;
    }
    throw NameError("no control named " + name +
                    (ui_.ActiveModal() ? " in " + ToStd(NameOf(ui_.ActiveModal())) + " or "
                                       : std::string(" in ")) +
                    "Ctr_Secteur");
}

QWidget* Driver::OpenWindow(const std::string& name) const {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == Q(name) && window->isVisible()) return window;
    throw NameError("no open window named " + name);
}

Json Driver::State() {
    Json state = Json::object();
    forms::ModalForm* dialog = ui_.ActiveModal();
    const bool editorShown = editor_ && host_ && host_->isVisible();
    if (dialog)
        state["form"] = ToStd(dialog->objectName());
    else if (editorShown)
        state["form"] = ToStd(kEditorName);
    else
        state["form"] = nullptr;

    QWidget* focus = forms::FocusedControl();
    while (focus && focus->objectName().isEmpty() && !focus->isWindow())
        focus = focus->parentWidget();
    if (focus && !focus->objectName().isEmpty() && focus->window()->isVisible())
        state["focus"] = ToStd(focus->objectName());
    else
        state["focus"] = nullptr;

    state["pointer"] = ui_.CurrentPointer() == forms::Pointer::Hourglass ? "hourglass" : "default";
    state["sortir"] = editor_ && editor_->G_SortirSecteur() != zonitra::kFalse;
    if (dialog)
        state["controls"] = ControlsOf(dialog);
    else if (editorShown)
        state["controls"] = ControlsOf(editor_, ScreenModelOrder());
    else
        state["controls"] = Json::object();
    state["messages"] = TakeMessages();
    state["writes"] = TakeWrites();
    state["help"] = TakeHelp();
    return state;
}

Json Driver::TakeMessages() {
    Json messages = Json::array();
    for (const forms::MessageRecord& record : ui_.TakeMessages()) {
        Json message{{"text", ToStd(record.text)},
                     {"title", ToStd(record.title)},
                     {"style", record.style},
                     {"icon", ToStd(forms::IconName(record.icon))},
                     {"buttons", WordsOf(record.buttons)},
                     {"answer", ToStd(forms::AnswerWord(record.answer))},
                     {"unanswered", record.unanswered}};
        if (!record.problem.isEmpty()) message["problem"] = ToStd(record.problem);
        messages.push_back(std::move(message));
    }
    return messages;
}

Json Driver::TakeWrites() {
    Json writes = Json::array();
    for (const WriteNote& write : database_.recorder->TakeWrites())
        writes.push_back(Json{{"file", write.file}, {"key", write.key}});
    return writes;
}

Json Driver::TakeHelp() {
    Json topics = Json::array();
    const help::HelpViewer* viewer =
        editor_ ? zonitra::EditorOf(*editor_).State().HelpIfCreated() : nullptr;
    if (!viewer) return topics;
    const auto& shown = viewer->Shown();
    for (; helpReported_ < shown.size(); ++helpReported_) {
        const help::Topic& topic = shown[helpReported_];
        topics.push_back(Json{{"page", ToStd(topic.page)},
                              {"letter", ToStd(topic.letter)},
                              {"title", ToStd(topic.title)}});
    }
    return topics;
}

Json Driver::Record(const std::string& file, const std::string& key) const {
    const kelmor::Database& db = *database_.database;
    if (!db.HasFile(file)) throw NameError("the database has no file " + file);
    kelmor::ReadResult read = db.OpenFile(file).TryReadRecord(key);
    if (read.record) return Json::parse(services::jsonl::ToLine(file, key, *read.record));
    if (read.error != kelmor::kNotFound)
        throw std::runtime_error("reading " + file + " " + key + ": " + read.message);
    return Json{{"file", file}, {"key", key}, {"exists", false}};
}

}  // namespace drive
