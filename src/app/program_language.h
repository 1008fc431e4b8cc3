// The program's language: the translation table of the whole run and the translator over it,
// the language kept in options.dat for the next start, and Qt's own texts in that language.
#pragma once

#include "i18n/options_file.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"

#include <QString>
#include <QTranslator>

namespace velmora {

class SessionPrompts;

class ProgramLanguage {
public:
    // programDir: where translate.dbf and options.dat are looked for; the program's folder
    // when empty.
    explicit ProgramLanguage(const QString &programDir);
    ProgramLanguage(const ProgramLanguage &) = delete;
    ProgramLanguage &operator=(const ProgramLanguage &) = delete;

    TranslateTable Table;
    Translator Translation{Table};
    QString ProgramDir; // ending in '/'
    // The column the program started in (German 0, English 1, Italian 2, ...).
    int StartLanguage = LanguageItalian;

    // Opens the translation table and indexes it.
    void OpenTable();
    // Reads options.dat: the language to start in, Italian when it is missing or names no column.
    void ReadStartLanguage();
    // Keeps the language for the next start; false (and the user told why) when it could not.
    bool Keep(int language, SessionPrompts &prompts);
    // Standard dialogs and message boxes speak the start language too.
    void LoadQtTranslations();
    QString Tr(const QString &german) { return Translation.TranslateString(german); }
    // Where the language is kept: options.dat beside the program or in the user's folder.
    QString OptionsPath() const;

private:
    QTranslator qtTexts_;
};

} // namespace velmora
