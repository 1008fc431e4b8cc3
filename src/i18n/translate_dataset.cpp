#include "translate_dataset.h"

#include "document/cp1252.h"

namespace velmora {

namespace {

QByteArray UpperAtoZ(QByteArray bytes)
{
    for (char &c : bytes)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return bytes;
}

} // namespace

bool TranslateDataSet::Unchanged(int record, const QVector<QByteArray> &values) const
{
    for (int column = 0; column < TranslateTable::FieldCount; ++column)
        if (table_.Field(record, column) != values.value(column).left(TranslateTable::FieldWidth))
            return false;
    return true;
}

bool TranslateFilterRecord(const TranslateTable &table, int record, const QString &search)
{
    const QByteArray wanted = UpperAtoZ(UnicodeToCp1252(search));
    if (wanted.isEmpty())
        return false;
    for (int column = 0; column < TranslateTable::FieldCount; ++column)
        if (UpperAtoZ(table.Field(record, column)).contains(wanted))
            return true;
    return false;
}

TranslateDataSet::TranslateDataSet(TranslateTable &table) : table_(table)
{
    Refresh();
}

void TranslateDataSet::Refresh()
{
    if (state_ != State::Browse && !Post())
        Cancel();
    records_.clear();
    for (int record = 0; record < table_.RecordCount(); ++record)
        if (table_.Visible(record))
            records_.push_back(record);
    row_ = qBound(0, row_, qMax(0, int(records_.size()) - 1));
}

int TranslateDataSet::RowCount() const
{
    return int(records_.size()) + (state_ == State::Insert ? 1 : 0);
}

int TranslateDataSet::RecordAt(int row) const
{
    return row >= 0 && row < records_.size() ? records_[row] : -1;
}

QString TranslateDataSet::Value(int row, int column) const
{
    if (state_ != State::Browse && row == row_)
        return buffer_.value(column);
    return table_.FieldText(RecordAt(row), column);
}

void TranslateDataSet::SetRow(int row)
{
    if (RowCount() == 0)
        return;
    row = qBound(0, row, RowCount() - 1);
    if (row == row_)
        return;
    if (state_ != State::Browse && !Post())
        Cancel();
    row_ = qBound(0, row, RowCount() - 1);
}

bool TranslateDataSet::Insert()
{
    if (table_.ReadOnly())
        return false;
    if (state_ != State::Browse && !Post())
        return false;
    state_ = State::Insert;
    buffer_ = QStringList(TranslateTable::FieldCount, QString());
    row_ = int(records_.size());
    return true;
}

bool TranslateDataSet::Delete()
{
    if (state_ == State::Insert) {
        Cancel();
        return true;
    }
    const int record = RecordAt(row_);
    if (record < 0 || !table_.SetDeleted(record, true))
        return false;
    ++changes_;
    state_ = State::Browse;
    records_.remove(row_);
    row_ = qBound(0, row_, qMax(0, int(records_.size()) - 1));
    return true;
}

bool TranslateDataSet::Edit()
{
    if (state_ != State::Browse)
        return true;
    const int record = RecordAt(row_);
    if (record < 0 || table_.ReadOnly())
        return false;
    buffer_.clear();
    for (int column = 0; column < TranslateTable::FieldCount; ++column)
        buffer_ << table_.FieldText(record, column);
    state_ = State::Edit;
    return true;
}

bool TranslateDataSet::SetValue(int row, int column, const QString &value)
{
    if (column < 0 || column >= TranslateTable::FieldCount)
        return false;
    SetRow(row);
    if (row_ != row || !Edit())
        return false;
    buffer_[column] = value;
    return true;
}

bool TranslateDataSet::Post()
{
    if (state_ == State::Browse)
        return true;
    QVector<QByteArray> values;
    for (const QString &value : buffer_)
        values << UnicodeToCp1252(value);
    if (state_ == State::Insert) {
        const int record = table_.AppendRecord(values);
        if (record < 0)
            return false;
        records_.push_back(record);
        ++changes_;
    } else if (Unchanged(RecordAt(row_), values)) {
        // Posting a row as it is writes nothing.
    } else if (!table_.WriteRecord(RecordAt(row_), values)) {
        return false;
    } else {
        ++changes_;
    }
    state_ = State::Browse;
    buffer_.clear();
    return true;
}

void TranslateDataSet::Cancel()
{
    if (state_ == State::Insert)
        row_ = qMax(0, int(records_.size()) - 1);
    state_ = State::Browse;
    buffer_.clear();
}

} // namespace velmora
