// Builds the translate.dbf shipped beside the program from the reviewable text table
// data/translations.tsv (German, English, Italian, separated by tabs). An existing table is
// completed, never overwritten: missing rows are added and empty English or Italian cells
// filled (rows repeating a German text are folded), so what a user translated stays.
// Usage: make_translate_table translations.tsv translate.dbf
#include "document/cp1252.h"
#include "i18n/table_upkeep.h"
#include "i18n/translate_table.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace velmora;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_translate_table translations.tsv translate.dbf\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    TranslateTable table;
    if (!table.Open(QString::fromLocal8Bit(argv[2])) || table.ReadOnly()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    QVector<TableRow> rows;
    int lineNumber = 0, errors = 0;
    QTextStream in(&source);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cells = line.split(QLatin1Char('\t'));
        TableRow values;
        for (int column = 0; column < 3; ++column) {
            const QString text = cells.value(column).trimmed();
            const QByteArray bytes = UnicodeToCp1252(text);
            if (Cp1252ToUnicode(bytes) != text) {
                std::fprintf(stderr, "%s:%d: not representable in Windows-1252: %s\n", argv[1], lineNumber,
                             qPrintable(text));
                ++errors;
            }
            values << bytes;
        }
        rows << values;
    }
    const UpkeepCount count = CompleteTable(table, rows);
    if (!count.Written) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("translate table: %d rows added, %d cells filled, %d repeated rows folded, %d rows in all\n",
                count.Added, count.Filled, count.Folded, table.RecordCount());
    return errors ? 1 : 0;
}
