// The message for a file that could not be read or written: what the program was doing, the
// path, and why, all in the user's language.
#pragma once

#include "document/safe_file.h"
#include "i18n/translator.h"

#include <QString>

namespace velmora {

// sentence is the German text of what failed, e.g. "Die Zeichnung konnte nicht gespeichert werden:".
QString FileFaultMessage(Translator &translation, const QString &sentence, const QString &path,
                         const FileOutcome &outcome);

} // namespace velmora
