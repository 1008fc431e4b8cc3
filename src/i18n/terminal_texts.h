// Texts the program writes on the terminal (the answer to --help, a wrong command line), in
// the language the program would start in: the stored choice and the translation table where
// the program reads them. Nothing is created or written, and no window system is needed.
#pragma once

#include "translate_table.h"
#include "translator.h"

#include <QString>

namespace velmora {

class TerminalTexts {
public:
    // programDir: the program's folder, ending in '/'.
    explicit TerminalTexts(const QString &programDir);

    QString Text(const QString &german) { return translator_.TranslateString(german); }
    QString Usage();                           // the answer to --help
    // "velmora: " and the sentence (its %1 filled with argument), and where to read more.
    QString Wrong(const QString &german, const QString &argument = {});

    // The folder of the running program, ending in '/', without a QCoreApplication.
    static QString ExecutableDir();

private:
    TranslateTable table_;
    Translator translator_{table_};
};

} // namespace velmora
