#include "file_messages.h"

#include "document/file_names.h"
#include "i18n/file_reasons.h"

namespace velmora {

QString FileFaultMessage(Translator &translation, const QString &sentence, const QString &path,
                         const FileOutcome &outcome)
{
    const auto translate = [&translation](const QString &text) { return translation.TranslateString(text); };
    return translate(sentence) + QLatin1Char('\n') + ReadableFileName(path) + QStringLiteral("\n\n") + FileReason(outcome, translate);
}

} // namespace velmora
