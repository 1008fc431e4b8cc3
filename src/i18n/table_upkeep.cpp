#include "table_upkeep.h"

#include "options_file.h"

#include <QFileInfo>
#include <QHash>

namespace velmora {

namespace {

TableRow ReadRow(const TranslateTable &table, int record)
{
    TableRow row;
    for (int column = 0; column < TranslateTable::FieldCount; ++column)
        row << table.Field(record, column);
    return row;
}

// Fills the empty cells of `into` from `from`; the number of cells filled.
int FillEmpty(TableRow &into, const TableRow &from)
{
    int filled = 0;
    for (int column = 1; column < std::min(into.size(), from.size()); ++column)
        if (into[column].isEmpty() && !from[column].isEmpty()) {
            into[column] = from[column];
            ++filled;
        }
    return filled;
}

bool Agrees(const TableRow &a, const TableRow &b)
{
    for (int column = 1; column < std::min(a.size(), b.size()); ++column)
        if (!a[column].isEmpty() && !b[column].isEmpty() && a[column] != b[column])
            return false;
    return true;
}

// Counts what there is to do and, with apply, does it. False when a write failed.
bool Work(TranslateTable &table, const QVector<TableRow> &rows, bool apply, UpkeepCount &count)
{
    count = {};
    QHash<QByteArray, int> first; // each German text's first row
    for (int record = 0; record < table.RecordCount(); ++record) {
        if (table.IsDeleted(record))
            continue;
        const QByteArray key = table.Field(record, 0);
        if (key.isEmpty())
            continue;
        const auto known = first.constFind(key);
        if (known == first.constEnd()) {
            first.insert(key, record);
            continue;
        }
        TableRow keeper = ReadRow(table, *known);
        const TableRow repeated = ReadRow(table, record);
        if (!Agrees(keeper, repeated))
            continue; // it says something else: left for the translator to decide
        ++count.Folded;
        if (apply && ((FillEmpty(keeper, repeated) > 0 && !table.WriteRecord(*known, keeper)) ||
                      !table.SetDeleted(record, true)))
            return false;
    }
    for (const TableRow &row : rows) {
        if (row.isEmpty() || row[0].isEmpty())
            continue;
        const auto known = first.constFind(row[0]);
        if (known == first.constEnd()) {
            ++count.Added;
            if (apply) {
                const int record = table.AppendRecord(row);
                if (record < 0)
                    return false;
                first.insert(row[0], record);
            }
            continue;
        }
        TableRow present = ReadRow(table, *known);
        const int filled = FillEmpty(present, row);
        count.Filled += filled;
        if (apply && filled > 0 && !table.WriteRecord(*known, present))
            return false;
    }
    return true;
}

} // namespace

QVector<TableRow> TableRows(const TranslateTable &table)
{
    QVector<TableRow> rows;
    for (int record = 0; record < table.RecordCount(); ++record)
        if (!table.IsDeleted(record))
            rows << ReadRow(table, record);
    return rows;
}

UpkeepCount CompleteTable(TranslateTable &table, const QVector<TableRow> &rows)
{
    UpkeepCount count;
    if (!table.IsOpen() || table.ReadOnly())
        return count;
    // Looked at first without the lock: a table that is complete is not written at all.
    Work(table, rows, false, count);
    if (count.Added == 0 && count.Filled == 0 && count.Folded == 0)
        return count;
    // Another copy may have done it meanwhile: counted and done again under the lock.
    count.Written = table.InOneStep([&] { return Work(table, rows, true, count); });
    return count;
}

UpkeepCount UpdateUserTable(TranslateTable &table, const QString &programDir)
{
    if (!table.IsOpen() || table.ReadOnly())
        return {};
    const QString shipped = InstalledTemplatePath(programDir, QStringLiteral("translate.dbf"));
    TranslateTable source;
    const bool other = !shipped.isEmpty() &&
                       QFileInfo(shipped).canonicalFilePath() != QFileInfo(table.Path()).canonicalFilePath();
    return CompleteTable(table, other && source.Open(shipped, true) ? TableRows(source) : QVector<TableRow>());
}

} // namespace velmora
