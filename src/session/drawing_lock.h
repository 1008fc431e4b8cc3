// The lock beside an open drawing ("Aufgabe 7.vlm" gets ".Aufgabe 7.vlm.lock" in its folder):
// a second window that opens the same drawing learns that it is open already. The lock names
// the process and the computer holding it; one whose process is gone, or an empty one (a
// power cut), is taken over.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace velmora {

// Whether a living process of this computer holds the lock (another computer's process
// cannot be asked).
bool HeldByLivingProcessHere(const QLockFile &lock);

class DrawingLock {
public:
    enum class Outcome {
        Taken,       // this run holds it
        HeldHere,    // a living process of this computer holds it
        HeldElsewhere, // another computer's process named in it (a drawing on a network drive)
        Unlockable,  // no lock can be made there (a read-only folder), or this run holds it already
    };

    static QString LockPath(const QString &drawing);
    // Takes the drawing's lock, letting go of the one held before.
    Outcome Take(const QString &drawing);
    void Release();
    QString Held() const { return drawing_; }

private:
    std::unique_ptr<QLockFile> lock_;
    QString drawing_;
};

} // namespace velmora
