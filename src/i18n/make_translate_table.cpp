// Builds the translate.dbf shipped beside the program from the reviewable text table
// data/translations.tsv (German, English, Italian, separated by tabs). An existing table is
// completed, never overwritten: missing rows are added and empty English or Italian cells
// filled, so what a user translated in the editor stays.
// Usage: make_translate_table translations.tsv translate.dbf
#include "document/cp1252.h"
#include "i18n/translate_table.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
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
    QHash<QByteArray, int> rows;
    for (int record = 0; record < table.RecordCount(); ++record)
        if (!table.IsDeleted(record) && !rows.contains(table.Field(record, 0)))
            rows.insert(table.Field(record, 0), record);

    int added = 0, filled = 0, lineNumber = 0, errors = 0;
    QTextStream in(&source);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cells = line.split(QLatin1Char('\t'));
        QVector<QByteArray> values;
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
        if (values[0].isEmpty())
            continue;
        const auto found = rows.constFind(values[0]);
        if (found == rows.constEnd()) {
            const int record = table.AppendRecord(values);
            if (record < 0) {
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
                return 1;
            }
            rows.insert(values[0], record);
            ++added;
            continue;
        }
        for (int column = 1; column < 3; ++column)
            if (!values[column].isEmpty() && table.Field(*found, column).isEmpty() &&
                table.WriteField(*found, column, values[column]))
                ++filled;
    }
    std::printf("translate table: %d rows added, %d cells filled, %d rows in all\n", added, filled,
                table.RecordCount());
    return errors ? 1 : 0;
}
