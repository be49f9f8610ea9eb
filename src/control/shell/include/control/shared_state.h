#pragma once
// The sector editor's component-wide state: one object shared by Ctr_Secteur
// and the dialogs it opens, which work on the same handles and records.
//
// Every slot may be empty ("none"): the host objects before they are set, the
// file handles and records before Init or after Liberer_Objets. Flags are the
// component's 16-bit Booleans, True being -1.

#include <cstdint>
#include <memory>
#include <optional>

#include "control/boolean16.h"
#include "kelmor/database.h"
#include "kelmor/dynarray.h"
#include "services/client_object.h"

namespace services {
class DateService;
}
namespace help {
class HelpViewer;
}

namespace zonitra {

struct FileHandles {
    std::optional<kelmor::DbFile> secteur;
    std::optional<kelmor::DbFile> sousSecteur;
    std::optional<kelmor::DbFile> quartier;
    std::optional<kelmor::DbFile> centreMedical;
    std::optional<kelmor::DbFile> antenneMedicale;
    std::optional<kelmor::DbFile> association;
    std::optional<kelmor::DbFile> compteur;
};

// The record last read or created at each level.
struct CurrentRecords {
    std::optional<kelmor::DbRecord> secteur;  // the one the sector dialogs edit
    std::optional<kelmor::DbRecord> sousSecteur;
    std::optional<kelmor::DbRecord> quartier;
    std::optional<kelmor::DbRecord> centreMedical;
    std::optional<kelmor::DbRecord> antenneMedicale;
    std::optional<kelmor::DbRecord> association;  // of the approval dialog
};

// The result of each level's last list query; row r backs entry r - 1.
struct LevelLists {
    std::optional<kelmor::ResultList> secteur;
    std::optional<kelmor::ResultList> sousSecteur;
    std::optional<kelmor::ResultList> quartier;
    std::optional<kelmor::ResultList> centreMedical;
    std::optional<kelmor::ResultList> antenneMedicale;
};

struct SharedState {
    SharedState();
    ~SharedState();
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    // Host objects; a new value replaces the old one.
    ClientObject client;
    std::shared_ptr<kelmor::Database> database;

    FileHandles files;
    std::optional<kelmor::DbRecord> compteur;  // COMPTEUR "999", read by Init
    CurrentRecords records;
    LevelLists lists;

    std::optional<kelmor::DynArray> W_Requete;  // created by Init
    std::optional<kelmor::ResultList> W_ListeAssociation;

    Boolean16 G_SortirSecteur = kFalse;
    Boolean16 W_CreationSecteur = kFalse;
    Boolean16 W_CreationSousSecteur = kFalse;
    Boolean16 W_CreationQuartier = kFalse;
    Boolean16 W_DepNonNumerique = kFalse;
    // 32-bit: a list refilled with an empty prefix holds every record of its
    // file (9.8 million neighbourhoods at the largest database).
    std::int32_t W_NbSecteur = 0;
    std::int32_t W_NbSousSecteur = 0;
    std::int32_t W_NbQuartier = 0;
    std::int32_t W_NbAntenneMedicale = 0;

    // The component's one date-conversion object, created on first use.
    services::DateService& Dates();

    // The component's one help display, created on first use.
    help::HelpViewer& Help();
    // nullptr until the first help request.
    help::HelpViewer* HelpIfCreated() const { return help_.get(); }

    // The database slot, or an error naming `what` needed it when it is empty.
    kelmor::Database& Db(const char* what) const;

private:
    std::unique_ptr<services::DateService> dates_;
    std::unique_ptr<help::HelpViewer> help_;
};

// The handle of an opened file, or an error naming the file when it is not
// open (before Init, or after Liberer_Objets).
const kelmor::DbFile& OpenedFile(const std::optional<kelmor::DbFile>& handle, const char* name);

}  // namespace zonitra
