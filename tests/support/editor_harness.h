#pragma once
// The one harness the editor's tests share: a fresh database of either
// backend (small records of the test's own, or the demo data), whose calls
// are counted and writes noted, with failures injected on demand and another
// workstation's connection; and the sector editor on a host window over it,
// played by the scripted operator (real key and mouse events, offscreen).

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver.h"
#include "test_database.h"

namespace forms {
class ComboBox;
}
namespace zonitra {
class SecteurEditor;
}

namespace harness {

using drive::Json;
using kelmor::test::BackendKind;
using Texts = std::vector<std::string>;
using Values = std::vector<std::pair<int, std::string>>;
class CountingBackend;

class TestData {
public:
    // `records` as kelmor::test::Fill takes them; none: the demo data (an
    // SQLite file only).
    explicit TestData(const std::vector<std::string>& records,
                      BackendKind kind = BackendKind::Sqlite);
    TestData(const TestData&) = delete;
    TestData& operator=(const TestData&) = delete;

    // A connection around the counting and the notes, for setting up.
    kelmor::Database& Plain() { return *plain_; }
    std::shared_ptr<kelmor::Database> PlainShared() const { return plain_; }
    // What the code under test gets: every call counted, every write noted.
    const drive::RecordedDatabase& Recorded() const { return recorded_; }
    const std::string& Location() const { return database_.Location(); }

    // Since the previous call: writes as "FILE KEY", and every database call
    // as "read FILE KEY", "scan FILE PREFIX", "write FILE KEY", "insert FILE
    // KEY", "delete FILE KEY", "count FILE PREFIX", "page FILE AFTER",
    // "begin", "commit" or "rollback".
    Texts TakeWrites();
    Texts TakeCalls();
    // From now on, an insert into `file` fails as a storage error would;
    // "" stops the failures.
    void FailInsertsInto(const std::string& file);
    // From now on, every DBWrite fails with error `number` before reaching
    // the storage, as a busy, full, read-only or lost database makes it
    // fail; 0 stops the failures.
    void FailWritesWith(std::int32_t number);
    // Another workstation's connection of its own, opened now.
    std::shared_ptr<kelmor::Database> OpenOther() const;
    // Another workstation, on a connection of its own, reads a record now,
    // sets `values` in it and stores it.
    void OtherWorkstationSets(const std::string& file, const std::string& key,
                              const Values& values);
    // Attribute `attr` of a record as stored now; "<none>" when absent.
    std::string Stored(const std::string& file, const std::string& key, int attr) const;

private:
    kelmor::test::TestDatabase database_;
    std::shared_ptr<kelmor::Database> plain_;
    std::shared_ptr<CountingBackend> counter_;
    drive::RecordedDatabase recorded_;
};

// What a script printed, and whether any command failed.
struct Played {
    std::vector<Json> lines;
    int status = 0;
};

class Session : public TestData {
public:
    // The editor started for `user` on the data (see TestData).
    explicit Session(const std::string& user, const std::vector<std::string>& records = {},
                     BackendKind kind = BackendKind::Sqlite);

    // Plays operator commands, one a line; returns what `state` and `record`
    // printed. A command that fails fails the test.
    std::vector<Json> Play(std::string_view script);
    void Do(std::string_view script) { Play(script); }
    // The same, where commands are meant to fail: the errors are printed.
    Played PlayAnyway(std::string_view script);

    // The host offering the hidden medical-centre and document-folder buttons.
    void OfferHostButtons();

    drive::Driver& Driver() { return *driver_; }
    zonitra::SecteurEditor& Editor() const;
    // Controls of the editor by name; a missing one throws.
    std::string Text(const char* control) const;
    Texts Items(const char* list) const;
    bool Enabled(const char* control) const;
    std::string Focus() const;  // the named control holding it; "-" when none

    // Message boxes since the previous call, as Box() gives them (each checked
    // for its title; buttons other than a lone OK are named after the text,
    // with the answer taken: " [Yes No: No]").
    Texts TakeMessages();

private:
    std::unique_ptr<drive::Driver> driver_;
};

std::string Box(const QString& text, int icon);
// The entries of a list, in order.
Texts ItemsOf(const forms::ComboBox& list);

}  // namespace harness
