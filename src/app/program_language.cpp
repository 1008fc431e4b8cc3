#include "program_language.h"

#include "i18n/options_file.h"
#include "i18n/table_upkeep.h"
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
    // The installed table itself (when the user's copy cannot be made) is only read.
    const QString tablePath = DataFilePath(ProgramDir, QStringLiteral("translate.dbf"));
    Table.Open(tablePath, tablePath == InstalledTemplatePath(ProgramDir, QStringLiteral("translate.dbf")));
    UpdateUserTable(Table, ProgramDir);
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
    QString path = OptionsPath();
    // The installed options are never written; the user's folder said why there is no copy.
    const UserFolderState userFolder = path == InstalledTemplatePath(ProgramDir, QStringLiteral("options.dat"))
                                           ? UserFolderProblem(ProgramDir)
                                           : UserFolderState();
    if (!userFolder.Folder.isEmpty())
        path = userFolder.Folder;
    const FileOutcome written = userFolder.Folder.isEmpty() ? WriteOptionsFile(path, language) : userFolder.Problem;
    if (!written.Ok())
        prompts.ShowError(FileFaultMessage(Translation,
                                           QStringLiteral("Die gewählte Sprache konnte nicht gespeichert werden; beim "
                                                          "nächsten Start erscheint das Programm wieder in der "
                                                          "bisherigen Sprache:"),
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
