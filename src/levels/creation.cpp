#include "levels/creation.h"

#include <QtGlobal>

#include <algorithm>
#include <utility>

#include "control/messages.h"
#include "forms/msgbox.h"
#include "kelmor/backend.h"
#include "levels/level_context.h"

namespace zonitra::levels {

namespace {

bool InsertTogether(kelmor::Database& database, std::vector<CreatedRecord>& created) {
    kelmor::Transaction transaction(database);
    for (CreatedRecord& one : created) {
        if (!one.record.DBInsert()) return false;  // the transaction rolls back
    }
    transaction.Commit();
    return true;
}

}  // namespace

std::string NumberCode(int number, int width) {
    std::string code = std::to_string(number);
    const auto wanted = static_cast<std::size_t>(width);
    if (code.size() < wanted) code.insert(0, wanted - code.size(), '0');
    return code;
}

CodeProbe::CodeProbe(const char* where, std::string prefix, int width, int lastCode)
    : where_(where),
      prefix_(std::move(prefix)),
      width_(width),
      taken_(static_cast<std::size_t>(lastCode) + 1, false) {}

std::string CodeProbe::Key(int number) const {
    return prefix_ + NumberCode(number, width_);
}

void CodeProbe::NoteTaken(const kelmor::Database& database, const kelmor::DbFile& file) {
    using Kind = kelmor::KeySelection::Kind;
    const kelmor::KeySelection selection{prefix_.empty() ? Kind::All : Kind::Prefix, prefix_};
    const std::size_t length = prefix_.size() + static_cast<std::size_t>(width_);
    walked_ = false;
    std::fill(taken_.begin(), taken_.end(), false);
    try {
        // Read first: a write during the walk leaves an older stamp, never a newer one.
        stamp_ = database.backend().Stamp();
        database.backend().ScanKeys(file.Name(), selection, [&](std::string_view key) {
            if (key.size() != length) return;
            std::size_t number = 0;
            for (const char c : key.substr(prefix_.size())) {
                if (c < '0' || c > '9') return;
                number = number * 10 + static_cast<std::size_t>(c - '0');
            }
            if (number < taken_.size()) taken_[number] = true;
        });
        walked_ = true;
    } catch (const kelmor::Error& e) {
        // The probe then reads each code, and its failures count as it says.
        qWarning("%s: the keys of %s could not be listed, each code is read: %s", where_,
                 file.Name().c_str(), e.what());
        std::fill(taken_.begin(), taken_.end(), false);
    }
}

bool CodeProbe::StillHolds(const kelmor::Database& database) const {
    if (!walked_ || !stamp_) return false;
    try {
        return database.backend().Stamp() == stamp_;
    } catch (const kelmor::Error& e) {
        qWarning("%s: the database could not tell whether it changed: %s", where_, e.what());
        return false;
    }
}

bool CodeProbe::Free(const kelmor::DbFile& file, int number) {
    const bool known = number >= 0 && static_cast<std::size_t>(number) < taken_.size();
    if (known && taken_[static_cast<std::size_t>(number)]) return false;
    if (known && walked_) return true;
    const std::string key = Key(number);
    const kelmor::ReadResult read = file.TryReadRecord(key);
    if (read.error == kelmor::kNotFound) return true;
    if (read.error != 0) {
        qWarning("%s: %s %s counted as used, its read failed (0x%08X): %s", where_,
                 file.Name().c_str(), key.c_str(), static_cast<std::uint32_t>(read.error),
                 read.message.c_str());
        if (error_ == 0) {
            error_ = read.error;
            message_ = file.Name() + " " + key + ": " + read.message;
        }
    }
    return false;
}

int CodeProbe::NextCandidate(int from) const {
    auto number = static_cast<std::size_t>(std::max(from, 1));
    while (number < taken_.size() && taken_[number]) ++number;
    return static_cast<int>(number);
}

void CodeProbe::ThrowIfAReadFailed() const {
    if (error_ == 0) return;
    throw kelmor::Error(
        error_,
        std::string(where_) + ": no free code found, and a code could not be read: " + message_);
}

void WalkAhead(std::optional<CodeProbe>& started, CodeProbe probe, const SharedState& state,
               const std::optional<kelmor::DbFile>& file) {
    started.reset();
    if (!state.database || !file) return;
    try {
        // Without a stamp "OK" could not tell whether the walk still holds.
        if (!state.database->backend().Stamp()) return;
    } catch (const kelmor::Error&) {
        return;  // "OK" walks and reports what fails
    }
    probe.NoteTaken(*state.database, *file);
    started = std::move(probe);
}

CodeProbe WalkedProbe(std::optional<CodeProbe>& started, CodeProbe probe,
                      const kelmor::Database& database, const kelmor::DbFile& file) {
    std::optional<CodeProbe> ahead = std::exchange(started, std::nullopt);
    if (ahead && ahead->Prefix() == probe.Prefix() && ahead->StillHolds(database))
        return std::move(*ahead);
    probe.NoteTaken(database, file);
    return probe;
}

void CreateAtFirstFreeCode(kelmor::Database& database, const CodeProbe& probe,
                           const std::function<std::vector<CreatedRecord>(int number)>& build,
                           Boolean16& creating, std::optional<kelmor::ResultList>& list,
                           const QString& noCodeLeft) {
    for (int number = probe.NextCandidate(1); number <= probe.LastCode();
         number = probe.NextCandidate(number + 1)) {
        std::vector<CreatedRecord> created = build(number);
        if (created.empty()) continue;
        if (!InsertTogether(database, created)) continue;
        for (CreatedRecord& one : created) *one.keptIn = std::move(one.record);
        creating = kFalse;
        list.reset();
        return;
    }
    probe.ThrowIfAReadFailed();
    Message(noCodeLeft, forms::vbExclamation | forms::vbOKOnly);
}

void DisableOtherCreations(const SecteurScreen& ui) {
    ui.Cmd_AjouterSecteur->setEnabled(false);
    ui.Cmd_Adresse->setEnabled(false);
    ui.Cmd_AjouterSousSecteur->setEnabled(false);
    ui.Cmd_AjouterQuartier->setEnabled(false);
    ui.Cmd_AjouterCentreMedQuartier->setEnabled(true);
    ui.Cmd_AjouterAntMedQuartier->setEnabled(true);
}

bool RefusedDuringCreation(const SharedState& state) {
    if (!EnCreation(state)) return false;
    Message(QStringLiteral("Une création est en cours.\r\nVous devez d'abord cliquer sur 'OK' "
                           "pour l'enregistrer ou sur 'Annuler' pour la quitter"),
            forms::vbExclamation | forms::vbOKOnly);
    return true;
}

}  // namespace zonitra::levels
