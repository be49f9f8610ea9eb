#pragma once
// The scripted operator: runs the sector editor on an offscreen host form,
// with the host objects set as zonitra-host sets them, and plays commands
// (script.h) as real key and mouse input (operator.h).
//
// Output: one line per `state` and `record`, and one {"error": "..."} line per
// command that failed (an unknown name, an action the operator could not do, a
// failure raised by the editor); the next command runs all the same.
//
// A command that opens a modal dialog does not return until the dialog is
// closed: the following lines of the script are played from inside it (as an
// operator goes on working in the dialog) until a command closes it. If the
// script ends while a dialog is open, that is an error and the dialog is
// closed.

#include <forms/scripteduiservice.h>

#include <QPointer>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "recording_backend.h"
#include "script.h"
#include "state.h"

class QWidget;

namespace kelmor {
class Database;
}

namespace zonitra {
class Ctr_Secteur;
}

namespace drive {

// A database whose writes are noted, over an opened one.
struct RecordedDatabase {
    std::shared_ptr<kelmor::Database> database;
    std::shared_ptr<RecordingBackend> recorder;
};
RecordedDatabase Record(const std::shared_ptr<kelmor::Database>& plain);

class Driver {
public:
    // Installs the scripted message-box service for the driver's lifetime.
    Driver(RecordedDatabase database, std::string user);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Creates the editor by its registered name on the host form, sets
    // DroitsUtilisateur, TheClient and TheDatabase, calls Init, then shows the
    // form. Throws what they throw (zonitra::InitError for Init).
    void Start();

    // Plays every line of `in`; returns 0, or 1 when any command failed.
    int Play(std::istream& in, std::ostream& out);
    // Runs one line (a comment or blank line does nothing); false when it
    // printed an error.
    bool Execute(std::string_view line, std::ostream& out);

    // The state line's object (and what it reports as new is then taken).
    Json State();

    zonitra::Ctr_Secteur* Editor() const;
    QWidget* HostForm() const { return host_.get(); }
    forms::ScriptedUiService& Ui() { return ui_; }

private:
    void Run(const Command& command, std::ostream& out);
    void PlayLines(const std::function<bool()>& stop);
    void OnModalShown(forms::ModalForm& form);
    // The control NAME of the active dialog, else of the editor.
    QWidget* Control(const std::string& name) const;
    QWidget* OpenWindow(const std::string& name) const;
    Json Record(const std::string& file, const std::string& key) const;
    Json TakeMessages();
    Json TakeWrites();
    Json TakeHelp();
    void Error(std::ostream& out, const std::string& message);

    RecordedDatabase database_;
    std::string user_;
    forms::ScriptedUiService ui_;
    forms::ScopedUi scopedUi_;
    std::unique_ptr<QWidget> host_;
    QPointer<zonitra::Ctr_Secteur> editor_;
    std::size_t helpReported_ = 0;
    std::istream* in_ = nullptr;
    std::ostream* out_ = nullptr;
    bool failed_ = false;
    // The script line being played (1-based), named in errors; 0 outside Play.
    int line_ = 0;
};

}  // namespace drive
