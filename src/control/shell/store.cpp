#include "control/store.h"

#include <QString>
#include <QtGlobal>

#include "control/messages.h"
#include "forms/msgbox.h"

namespace zonitra {

bool StoreRecord(kelmor::DbRecord& record, const char* where,
                 const std::function<void(kelmor::DbRecord&)>& change) {
    if (change) {
        // A change stopped half-way must not stay in memory for a later write.
        const kelmor::DbRecord before = record;
        try {
            change(record);
        } catch (const kelmor::Error& error) {
            record = before;
            TellStoreFailure(error, where);
            return false;
        }
    }
    try {
        record.DBWrite();
    } catch (const kelmor::Error& error) {
        // DBWrite has left the record holding what is stored.
        TellStoreFailure(error, where);
        return false;
    }
    return true;
}

void TellStoreFailure(const kelmor::Error& error, const char* where) {
    qWarning("%s: write failed with error 0x%08X: %s", where, static_cast<unsigned>(error.number()),
             error.what());
    Message(QString::fromUtf8(kelmor::FrenchMessage(error.number())),
            forms::vbExclamation | forms::vbOKOnly);
}

}  // namespace zonitra
