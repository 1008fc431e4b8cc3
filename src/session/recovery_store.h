// Recovery copies of a changed drawing, kept in the user's data folder while the program runs,
// so a crash or a killed process loses at most one interval of work.
//
// Each run owns one slot in the folder: NAME.vlm (the drawing, written by the normal drawing
// writer), NAME.name (the path of the drawing's own file, UTF-8, empty when untitled) and
// NAME.lock (held while the run lives). A slot whose lock nobody holds belongs to a run that
// ended without removing it: that copy is offered at the next start.
#pragma once

#include "document/drawing_file.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QString>

#include <memory>

namespace velmora {

class RecoveryStore {
public:
    // folder: where the slots live; created on the first write.
    explicit RecoveryStore(QString folder);
    ~RecoveryStore();
    // <user data folder>/recovery
    static QString DefaultFolder();

    // Writes this run's copy atomically, streamed by the drawing writer: first the drawing,
    // then its file's name. The first write takes this run's lock.
    FileOutcome Write(const DrawingState &drawing, const DrawingFileSettings &settings, const QString &fileName);
    // Removes this run's copy and lets go of the lock; nothing happens when there is none.
    void Remove();
    bool HasCopy() const { return written_; }
    QString CopyPath() const;

    struct Orphan {
        QString Slot;     // folder/NAME, without extension
        QString FileName; // the drawing's own file, empty when untitled
        QDateTime Written;
    };
    // Copies left by runs that ended without removing them, newest first: every copy no
    // living process of this computer holds. Their locks are taken where they can be, so a
    // second program started at the same time does not offer them as well.
    QList<Orphan> TakeOrphans();
    // Deletes an orphan's files (after restoring it or when the user declines it).
    void Discard(const Orphan &orphan);
    // Moves a damaged orphan's files into the folder's "damaged" folder, where they are kept
    // but not offered again; gives the copy's new path (its old one when it could not move).
    QString PutAside(const Orphan &orphan);
    // Lets go of an orphan without deleting it: it is offered again at the next start.
    void Release(const Orphan &orphan);

private:
    QString folder_;
    QString slot_;
    std::unique_ptr<QLockFile> lock_;
    QHash<QString, std::shared_ptr<QLockFile>> orphanLocks_; // by slot
    bool written_ = false;
};

} // namespace velmora
