#pragma once
// Storing a record the operator changed, with the database's failures told.
//
//     if (!StoreRecord(record, "Txt_NumCRAM_LostFocus",
//                      [&](kelmor::DbRecord& r) { r.Set(20, value); }))
//         ShowStoredValues();  // the record holds what is stored again
//
// A write that fails (the database busy beyond its wait, the disk full, the
// database read-only, the server connection lost, or another workstation
// having changed the same information meanwhile) is told to the operator in
// a "Message ORVANIS" box with the library's French sentence
// (kelmor::FrenchMessage) and logged with its details. The record then holds
// what is stored: the text it had when read (a failed write) or the values
// read again (a conflict). So the screen can show it again, the operator's
// retry writes, and no later write of the record stores the failed value.

#include <functional>

#include "kelmor/database.h"
#include "kelmor/error.h"

namespace zonitra {

// Applies `change` to `record` (nothing when null), then stores it with
// DBWrite. Returns false after a database failure (kelmor::Error), told as
// above; a change refused by the library (a value that cannot be stored)
// leaves the record as it was. Other exceptions propagate unchanged.
bool StoreRecord(kelmor::DbRecord& record, const char* where,
                 const std::function<void(kelmor::DbRecord&)>& change = {});

// Tells the operator that `error` stopped a write: the French box, and the
// details in the log under `where`.
void TellStoreFailure(const kelmor::Error& error, const char* where);

}  // namespace zonitra
