// Keeping a translation table complete: the rows of a newer shipped table reach the user's
// copy, and rows that repeat a German text are folded into the first of them, so that the
// editor shows the row the program uses. Cells a user filled in are never overwritten.
#pragma once

#include "translate_table.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace velmora {

using TableRow = QVector<QByteArray>; // column 0 the German text, then the languages

struct UpkeepCount {
    int Added = 0;  // rows the table lacked
    int Filled = 0; // empty cells filled from the rows given
    int Folded = 0; // repeated rows folded into the first row of their text
    bool Written = true; // false when a write failed (nothing is lost: it is tried again next time)
};

// In one step under the table's lock: each row whose German text the table lacks is added,
// empty cells of the table's rows are filled from the rows given, and a later row that
// repeats a German text is folded into the first one (its cells fill the first row's empty
// ones, and it is marked deleted) unless a cell of it says something else than the first row.
// Nothing happens to a table that is only read.
UpkeepCount CompleteTable(TranslateTable &table, const QVector<TableRow> &rows);

// The rows of a table that are not deleted, all 19 columns.
QVector<TableRow> TableRows(const TranslateTable &table);

// At the start of the program: completes the user's table from the installed one (the
// template beside the program's share/velmora/, when there is one and it is another file).
UpkeepCount UpdateUserTable(TranslateTable &table, const QString &programDir);

} // namespace velmora
