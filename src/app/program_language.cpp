#include "program_language.h"

#include "i18n/options_file.h"
#include "session/file_messages.h"
#include "session/session_prompts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace velmora {

ProgramLanguage::ProgramLanguage(const QString &programDir)
    : ProgramDir(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir)
{
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
}

void ProgramLanguage::OpenTable()
{
    Table.Open(DataFilePath(ProgramDir, QStringLiteral("translate.dbf")));
    Translation.LoadTranslationIndex();
}

QString ProgramLanguage::OptionsPath() const
{
    return DataFilePath(ProgramDir, QStringLiteral("options.dat"));
}

void ProgramLanguage::ReadStartLanguage()
{
    const int stored = ReadOptionsFile(OptionsPath());
    StartLanguage = stored < 0 ? LanguageItalian : stored; // missing, short or naming no column: Italian
    Translation.LanguageColumn = StartLanguage;
}

bool ProgramLanguage::Keep(int language, SessionPrompts &prompts)
{
    Translation.LanguageColumn = language;
    const QString path = OptionsPath();
    const FileOutcome written = WriteOptionsFile(path, language);
    if (!written.Ok())
        prompts.ShowError(FileFaultMessage(
            Translation,
            QStringLiteral("Die gewählte Sprache konnte nicht gespeichert werden; sie gilt nur bis zum Programmende:"),
            path, written));
    return written.Ok();
}

void ProgramLanguage::LoadQtTranslations()
{
    const char *code = StartLanguage == LanguageGerman ? "de" : StartLanguage == LanguageItalian ? "it" : nullptr;
    if (code && qtTexts_.load(QStringLiteral("qtbase_") + QLatin1String(code),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
}

} // namespace velmora
