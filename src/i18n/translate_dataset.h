// The rows of the translation table as the editor window shows them: the rows that are
// not deleted and that the search accepts, a current row, and browse / edit / insert
// states with a pending row that Post writes to the file and Cancel drops.
#pragma once

#include "translate_table.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace velmora {

// The search of the editor: accepted when the search text, upper-cased in the letters a to
// z only, occurs in one of the 19 columns upper-cased alike. An empty search accepts nothing.
bool TranslateFilterRecord(const TranslateTable &table, int record, const QString &search);

class TranslateDataSet {
public:
    enum class State { Browse, Edit, Insert };

    explicit TranslateDataSet(TranslateTable &table);

    // Reads the visible rows again (after a change of the filter or of the file).
    void Refresh();

    int RowCount() const; // the pending new row included
    int Row() const { return row_; }
    int RecordAt(int row) const;
    State CurrentState() const { return state_; }
    bool ReadOnly() const { return table_.ReadOnly(); }

    QString Value(int row, int column) const;

    // Navigation posts a pending change first, as a dataset does when the cursor leaves a row.
    void SetRow(int row);
    void First() { SetRow(0); }
    void Prior() { SetRow(row_ - 1); }
    void Next() { SetRow(row_ + 1); }
    void Last() { SetRow(RowCount() - 1); }

    bool Insert();
    bool Delete();
    bool Edit();
    bool SetValue(int row, int column, const QString &value); // starts editing that row
    bool Post();
    void Cancel();
    // How many writes reached the table (a posted row that changed, an insert, a delete).
    int Changes() const { return changes_; }

private:
    bool Unchanged(int record, const QVector<QByteArray> &values) const;

    TranslateTable &table_;
    QVector<int> records_;
    int row_ = 0;
    State state_ = State::Browse;
    QStringList buffer_;
    int changes_ = 0;
};

} // namespace velmora
