// Why a file could not be read or written, as a sentence in the program's language. The
// common causes (missing, no permission, disk full, read-only, a folder, too large, damaged,
// out of memory) have sentences of their own in the translation table; any other cause is
// named by the system's error name (such as ELOOP). The system's own text is never used: it
// comes in the system's language, which need not be the program's.
#pragma once

#include "document/safe_file.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// The German sentence and the values of its placeholders.
struct GermanReason {
    QString German;
    QStringList Args;
};

GermanReason FileReasonGerman(const FileOutcome &outcome);
QString FileReason(const FileOutcome &outcome, const std::function<QString(const QString &)> &translate);

// Every German sentence FileReasonGerman gives (each needs its row in the shipped table).
QStringList FileReasonSentences();

} // namespace velmora
