#include "table_check.h"

#include "translate_table.h"

#include <QtEndian>

namespace velmora {

QString TableProblem::Text(const std::function<QString(const QString &)> &translate) const
{
    if (German.isEmpty())
        return {};
    QString text = translate(German);
    for (const QString &arg : Args)
        text = text.arg(arg);
    return text;
}

namespace {

const QString DamagedHead = QStringLiteral("Der Kopf der Tabelle ist beschädigt.");

TableCheck Unreadable(const QString &german, const QStringList &args = {})
{
    TableCheck check;
    check.Problem = {german, args};
    return check;
}

QString TypeText(uchar type)
{
    return type >= 0x21 && type < 0x7F ? QString(QLatin1Char(char(type)))
                                       : QStringLiteral("0x%1").arg(type, 2, 16, QLatin1Char('0'));
}

} // namespace

TableCheck CheckTableHead(const QByteArray &head, qint64 fileSize)
{
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() < TableFileHeadBytes || fileSize < TableFileHeadBytes)
        return Unreadable(DamagedHead);
    const quint32 claimed = qFromLittleEndian<quint32>(bytes + 4);
    const int headerLength = qFromLittleEndian<quint16>(bytes + 8);
    const int recordLength = qFromLittleEndian<quint16>(bytes + 10);
    if (headerLength < TableFileHeadBytes + 1 || headerLength > fileSize || headerLength > head.size() ||
        recordLength < 2)
        return Unreadable(DamagedHead);

    // The column descriptions, up to the terminator 0x0D or the end of the header. The first
    // column that is not the program's kind is remembered for the message.
    const int descriptors = (headerLength - TableFileHeadBytes) / TableFieldBytes;
    int fields = 0, widths = 1;
    TableProblem foreign;
    for (; fields < descriptors; ++fields) {
        const uchar *field = bytes + TableFileHeadBytes + fields * TableFieldBytes;
        if (field[0] == 0x0D)
            break;
        const uchar type = field[11];
        const int width = field[16], decimals = field[17];
        widths += width;
        if (foreign.IsEmpty() && (type != 'C' || width != TranslateTable::FieldWidth || decimals != 0))
            foreign = {QStringLiteral("Die Spalte %1 ist vom Typ %2 mit %3 Zeichen statt Text (C) mit 255 Zeichen; "
                                      "die Tabelle wird nur gelesen."),
                       {QString::number(fields + 1), TypeText(type), QString::number(width)}};
    }
    if (fields == 0)
        return Unreadable(DamagedHead);
    // Rows whose length is not that of the columns would be read shifted: not used at all.
    if (recordLength != widths)
        return Unreadable(QStringLiteral("Die Zeilenlänge %1 passt nicht zu den Spalten (%2)."),
                          {QString::number(recordLength), QString::number(widths)});

    TableCheck check;
    check.Readable = true;
    check.HeaderLength = headerLength;
    check.RecordLength = recordLength;
    const qint64 present = (fileSize - headerLength) / recordLength;
    check.Records = int(std::min<qint64>(claimed, std::min<qint64>(present, TranslateTable::MaxRecords)));
    if (claimed > present)
        check.Problem = {QStringLiteral("Der Kopf nennt %1 Zeilen, die Datei enthält nur %2; die Tabelle wird nur "
                                        "gelesen."),
                         {QString::number(claimed), QString::number(present)}};
    else if (claimed > quint32(TranslateTable::MaxRecords))
        check.Problem = {QStringLiteral("Die Tabelle hat mehr als %1 Zeilen; sie wird nur gelesen."),
                         {QString::number(TranslateTable::MaxRecords)}};
    else if (bytes[0] != 0x03)
        check.Problem = {QStringLiteral("Die Tabelle ist keine dBase-III-Tabelle (Kennung %1); sie wird nur gelesen."),
                         {TypeText(bytes[0])}};
    else if (fields != TranslateTable::FieldCount)
        check.Problem = {QStringLiteral("Die Tabelle hat %1 Spalten statt 19; sie wird nur gelesen."),
                         {QString::number(fields)}};
    else if (!foreign.IsEmpty())
        check.Problem = foreign;
    check.Understood = check.Problem.IsEmpty();
    return check;
}

} // namespace velmora
