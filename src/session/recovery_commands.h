// Recovery copies: every interval a changed drawing is written with the normal drawing writer
// into the user's data folder (its own file and the caption stay as they are); saving, opening
// or emptying the drawing removes the copy. A copy that a crashed or killed run left behind is
// offered at the next start.
#pragma once

#include "recovery_store.h"

#include <QByteArray>

namespace velmora {

class DocumentSession;

class RecoveryCommands {
public:
    RecoveryCommands(DocumentSession &session, const QString &folder) : session_(session), store_(folder) {}

    // Writes the changed drawing's copy when it differs from the last one written; an
    // unchanged drawing needs none. A failure is said in the status line; the next interval
    // tries again. Not while a drag is under way: half a stroke is no drawing. False when a
    // copy was due and did not reach the disk.
    bool Write();
    // Removes this run's copy.
    void Drop();
    // At start: offers the copies that runs which ended without removing them left, and
    // restores at most one, marked changed and under its own file's name. A copy is deleted
    // only when the user says so or once this run's own copy of it is on disk; a damaged one
    // gives what can be read of it as a new drawing and is put aside.
    void Offer();

    RecoveryStore &Store() { return store_; }

private:
    bool Discarding(const RecoveryStore::Orphan &orphan);
    bool Restore(const RecoveryStore::Orphan &orphan, bool &damaged);

    DocumentSession &session_;
    RecoveryStore store_;
    QByteArray written_; // digest of the last copy written
};

} // namespace velmora
