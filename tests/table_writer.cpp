// A second program for the two-process test: opens a translation table and meets `count`
// new German texts, each appended as a row, as a starting copy of the program does.
#include "i18n/translate_table.h"
#include "i18n/translator.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: table_writer TABLE PREFIX COUNT\n");
        return 2;
    }
    velmora::TranslateTable table;
    if (!table.Open(QString::fromLocal8Bit(argv[1])) || table.ReadOnly())
        return 1;
    velmora::Translator translation(table);
    translation.LanguageColumn = 0;
    translation.LoadTranslationIndex();
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i)
        translation.TranslateString(QStringLiteral("%1 %2").arg(QString::fromLocal8Bit(argv[2])).arg(i));
    return 0;
}
