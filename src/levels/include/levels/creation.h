#pragma once
// What the three creations (sector, sub-sector, neighbourhood) share: the
// codes they generate, the probe for a free one, storing the records of one
// creation all or nothing, and what the creation buttons switch alike.
//
// A creation never replaces a record: every record is stored with
// DbRecord::DBInsert, and a key that turns out to exist (left behind by other
// means, or created a moment ago by another workstation) sends the creation
// on to the next free code.

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/secteur_screen.h"
#include "control/shared_state.h"
#include "kelmor/backend.h"
#include "kelmor/database.h"

namespace zonitra::levels {

// The decimal text of `number` with leading "0" to `width` characters: 7, 3 → "007".
std::string NumberCode(int number, int width);

// The probe of the sector and sub-sector creations: reads the keys a
// creation is about to use, for the first code without a record. The keys
// are `prefix` followed by a number of `width` digits, 1 to `lastCode`.
class CodeProbe {
public:
    // `where` names the creation in the log; it must outlive the probe.
    CodeProbe(const char* where, std::string prefix, int width, int lastCode);

    // The key of code `number`: the prefix, then NumberCode(number, width).
    std::string Key(int number) const;
    const std::string& Prefix() const noexcept { return prefix_; }
    int LastCode() const noexcept { return static_cast<int>(taken_.size()) - 1; }
    // Notes the codes in use from one key-ordered walk of the keys of `file`
    // that begin with the prefix, so that Free answers without a read: a
    // sector creation would otherwise read every taken code, 998 reads on a
    // full file. Other keys under the prefix are no code. When the walk
    // fails, it is logged and Free reads each code instead.
    void NoteTaken(const kelmor::Database& database, const kelmor::DbFile& file);
    // True when a walk noted the codes and the database says that no record
    // was written since, by this connection or another: the probe still
    // tells the codes in use.
    bool StillHolds(const kelmor::Database& database) const;
    // True when `file` holds no record Key(number). After a walk, from what it
    // noted (a key stored since is refused by the insert). Otherwise read: a
    // read that fails otherwise counts the code as used (a record that
    // cannot be read is never replaced) and is logged; the first such
    // failure is kept.
    bool Free(const kelmor::DbFile& file, int number);
    // The first number from `from` on that the walk did not note as taken;
    // LastCode() + 1 when there is none.
    int NextCandidate(int from) const;
    // For a probe that found no free code: throws the first failure kept as a
    // kelmor::Error naming it, since the codes it hid may be free. Nothing
    // when every read answered.
    void ThrowIfAReadFailed() const;

private:
    const char* where_;
    std::string prefix_;
    int width_;
    std::vector<bool> taken_;  // by number, 0 unused
    bool walked_ = false;      // the codes in use were noted
    // Read before the walk; none when the database cannot tell.
    std::optional<kelmor::Backend::ChangeStamp> stamp_;
    std::int32_t error_ = 0;
    std::string message_;
};

// A creation's probe is walked when "Ajouter" starts it, while the operator
// then types for seconds, so that "OK" need not walk again: `started` is
// walked now, when the database gives change stamps. Nothing fails here:
// without a database, file or stamp, or when the walk fails, "OK" walks and
// reports what it finds.
void WalkAhead(std::optional<CodeProbe>& started, CodeProbe probe, const SharedState& state,
               const std::optional<kelmor::DbFile>& file);
// The probe "OK" uses: `started` (then emptied) when it still holds for the
// prefix of `probe`, otherwise `probe` walked now.
CodeProbe WalkedProbe(std::optional<CodeProbe>& started, CodeProbe probe,
                      const kelmor::Database& database, const kelmor::DbFile& file);

// One record of a creation and the slot of SharedState::records that keeps
// it once stored.
struct CreatedRecord {
    kelmor::DbRecord record;
    std::optional<kelmor::DbRecord>* keptIn;
};

// How the sector and sub-sector creations end: codes 1 to probe.LastCode() are
// tried in turn, passing over those the probe noted taken; `build(number)`
// returns the records of that code, or none when `probe` found it used. The
// records of a code are stored in one transaction of `database` (they must
// belong to it): all of them, or none when the key of any of them exists (the
// next code is tried) or a write fails (the failure propagates). The first
// records stored are kept in their slots, `creating` is cleared and `list`
// dropped ("OK" fills it again). With no code left, a failed read that may
// have hidden a free one is thrown; otherwise the operator is shown
// `noCodeLeft`.
void CreateAtFirstFreeCode(kelmor::Database& database, const CodeProbe& probe,
                           const std::function<std::vector<CreatedRecord>(int number)>& build,
                           Boolean16& creating, std::optional<kelmor::ResultList>& list,
                           const QString& noCodeLeft);

// What every "Ajouter" of the levels switches alike: while one record is
// entered, no other creation can start and the sector's address cannot be
// opened; the medical-centre editor may be, to add a missing centre or
// antenna.
void DisableOtherCreations(const SecteurScreen& ui);

// Opening the levels below a new sector or sub-sector (leaving its label,
// OK's first step) enables their "Ajouter" buttons and Cmd_Adresse again.
// Only one record is ever entered at a time, and the address belongs to a
// stored sector: while a creation is open, those buttons say so and do
// nothing else. True (the message shown) when a creation is open.
bool RefusedDuringCreation(const SharedState& state);

}  // namespace zonitra::levels
