// Checks the head of a translate.dbf against the file's size before the table library sees
// it: whether the rows can be read at all, how many rows the file really holds, and whether
// the table is exactly the program's (19 text columns of 255 characters), the only kind it
// writes into.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// What is wrong with a table, as a German sentence with %1.. placeholders, translated where
// it is shown (a file that cannot be read gives the sentence of its reason).
struct TableProblem {
    QString German;
    QStringList Args;
    bool IsEmpty() const { return German.isEmpty(); }
    QString Text(const std::function<QString(const QString &)> &translate) const;
};

struct TableCheck {
    bool Readable = false;   // head and rows line up; Records rows can be read
    bool Understood = false; // the program's own structure: it may write into the table
    int Records = 0;         // rows present (never more than the file holds)
    int HeaderLength = 0;
    int RecordLength = 0;
    TableProblem Problem;    // empty when Understood
};

inline constexpr int TableFileHeadBytes = 32;
inline constexpr int TableFieldBytes = 32;

// head: the file's first bytes, at least its whole header (up to 65535 bytes) when the file
// is that long; fileSize: the file's size in bytes.
TableCheck CheckTableHead(const QByteArray &head, qint64 fileSize);

} // namespace velmora
