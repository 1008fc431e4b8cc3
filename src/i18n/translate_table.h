// translate.dbf: the dBase III table of interface texts, one row per German text and one
// character column of 255 bytes per language. Read and written through shapelib's DBF
// module; values are Windows-1252 bytes. Deleted rows stay in the file, marked.
// Only a table whose head matches its size and whose structure is exactly the program's is
// written to; writes are serialised across running copies of the program by a lock file
// beside the table, and each write first takes the row count another copy may have raised.
#pragma once

#include "table_check.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

namespace velmora {

class TranslateTable {
public:
    static constexpr int FieldCount = 19;
    static constexpr int FieldWidth = 255;
    static constexpr int RecordLength = 1 + FieldCount * FieldWidth; // 4846
    static constexpr int MaxRecords = 1000000;

    TranslateTable() = default;
    ~TranslateTable();
    TranslateTable(const TranslateTable &) = delete;
    TranslateTable &operator=(const TranslateTable &) = delete;

    // Opens the table, creating it when the file does not exist. When it cannot be opened
    // for writing (or readOnly asks for it), or is not exactly the program's table, it is
    // opened read-only. False when it cannot be read at all (Problem says why).
    bool Open(const QString &path, bool readOnly = false);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    bool ReadOnly() const { return readOnly_; }
    QString Path() const { return path_; }
    // Why the table could not be opened, or is only read although the file could be written:
    // empty when neither.
    const TableProblem &Problem() const { return problem_; }

    static QString FieldName(int column); // "language1" .. "language19"

    // Physical records, deleted ones included; numbers count from 0.
    int RecordCount() const;
    bool IsDeleted(int record) const;
    // The column's bytes without the trailing blanks dBase pads with.
    QByteArray Field(int record, int column) const;
    QString FieldText(int record, int column) const;

    // Writes a whole row (missing columns empty) and flushes it to disk. AppendRecord
    // returns the new record's number, or -1 when the table is read-only or writing failed.
    int AppendRecord(const QVector<QByteArray> &values);
    bool WriteRecord(int record, const QVector<QByteArray> &values);
    bool WriteField(int record, int column, const QByteArray &value);
    bool SetDeleted(int record, bool deleted);

    // Runs several reads and writes as one step under the lock, after taking the row count
    // another copy may have raised: other copies' writes wait until it is done. The writes
    // above may be called inside it. False when the table cannot be written or steps fails.
    bool InOneStep(const std::function<bool()> &steps);
    // The first row from `from` on (deleted ones skipped) whose German text is key, or else
    // a new row with key appended, in one step: two copies meeting the same new text at once
    // add one row between them. -1 when the table cannot be written.
    int FindOrAppend(const QByteArray &key, int from);

    // Iteration over the rows that are not deleted and that the filter accepts.
    void First();
    void Next();
    bool Eof() const { return position_ >= RecordCount(); }
    int RecNo() const { return position_; }
    void GoTo(int record) { position_ = record; }
    void SetFilter(std::function<bool(int record)> accept) { filter_ = std::move(accept); }
    bool FilterActive() const { return bool(filter_); }
    bool Visible(int record) const;

private:
    void SkipHidden();
    bool Create(const QByteArray &native);
    // Runs a change under the lock with the row count as the file has it now, then writes
    // the header and checks that everything reached the disk.
    bool Change(const std::function<bool()> &change);

    void *handle_ = nullptr; // shapelib's DBFHandle
    bool readOnly_ = false;
    bool changing_ = false; // inside Change: nested writes join the step under way
    TableProblem problem_;
    QString path_;
    int position_ = 0;
    std::function<bool(int)> filter_;
};

} // namespace velmora
