// A second program for the two-process tests: opens a translation table and either meets
// `count` German texts, each appended as a row when it is new, as a starting copy of the
// program does, or completes the table from a shipped one, as an installed copy does at start.
// Usage: table_writer TABLE PREFIX COUNT | table_writer TABLE --complete SHIPPED
// With TABLE_WRITER_GO naming a file, it waits for that file once the tables are open, so
// that two copies start their work at the same moment.
#include "i18n/table_upkeep.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <cstring>

namespace {

void WaitForTheSignal()
{
    const QString go = qEnvironmentVariable("TABLE_WRITER_GO");
    while (!go.isEmpty() && !QFile::exists(go))
        QThread::msleep(1);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: table_writer TABLE PREFIX COUNT | table_writer TABLE --complete SHIPPED\n");
        return 2;
    }
    velmora::TranslateTable table;
    if (!table.Open(QString::fromLocal8Bit(argv[1])) || table.ReadOnly())
        return 1;
    if (std::strcmp(argv[2], "--complete") == 0) {
        velmora::TranslateTable shipped;
        if (!shipped.Open(QString::fromLocal8Bit(argv[3]), true))
            return 1;
        const QVector<velmora::TableRow> rows = velmora::TableRows(shipped);
        WaitForTheSignal();
        return velmora::CompleteTable(table, rows).Written ? 0 : 1;
    }
    velmora::Translator translation(table);
    translation.LanguageColumn = 0;
    translation.LoadTranslationIndex();
    WaitForTheSignal();
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i)
        translation.TranslateString(QStringLiteral("%1 %2").arg(QString::fromLocal8Bit(argv[2])).arg(i));
    return 0;
}
