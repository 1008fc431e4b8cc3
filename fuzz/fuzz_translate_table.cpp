// libFuzzer target for translate.dbf: any bytes as the table are opened, indexed, looked up,
// completed as at start, searched and written through the editor's rows, closed and opened
// again. Nothing may read out of bounds, hang or leak; a table the program does not fully
// understand is never written to (its bytes stay as they were); in a table of its own, the
// rows written are there after reopening and the head counts exactly the rows present.
#include "i18n/table_upkeep.h"
#include "i18n/translate_dataset.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace velmora;
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("translate.dbf"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            std::abort();
    }
    // A few bytes from the end steer the language and the search.
    const unsigned char steer = size ? data[size - 1] : 0;
    const QString search = size >= 3 ? QString::fromLatin1(reinterpret_cast<const char *>(data + size - 3), 2)
                                     : QStringLiteral("a");

    bool writable = false;
    int rows = 0;
    {
        TranslateTable table;
        table.Open(path);
        writable = table.IsOpen() && !table.ReadOnly();
        Translator translation(table);
        translation.LanguageColumn = steer % TranslateTable::FieldCount;
        translation.LoadTranslationIndex();
        translation.RegisterMessages();
        for (int record = 0; record < std::min(table.RecordCount(), 8); ++record) {
            const QString key = table.FieldText(record, 0);
            translation.TranslateString(QStringLiteral("  ") + key + QStringLiteral(" "));
        }
        translation.TranslateString(QStringLiteral("Kreis"));
        translation.TranslateString(QStringLiteral("Kreis"));

        // The upkeep at start: shipped rows added, repeated rows folded; once done, done.
        const QVector<TableRow> shipped{{"Kreis", "Circle"}, {"Datei", "File", "File"}, {"Zirkel"}};
        if (CompleteTable(table, shipped).Written) {
            const UpkeepCount again = CompleteTable(table, shipped);
            if (again.Added || again.Filled || again.Folded)
                std::abort();
        }

        table.SetFilter([&](int record) { return TranslateFilterRecord(table, record, search); });
        for (table.First(); !table.Eof(); table.Next())
            table.FieldText(table.RecNo(), steer % TranslateTable::FieldCount);
        table.SetFilter({});

        TranslateDataSet rowsShown(table);
        if (rowsShown.Insert()) {
            rowsShown.SetValue(rowsShown.Row(), 0, QStringLiteral("Zirkel"));
            rowsShown.SetValue(rowsShown.Row(), 2, QStringLiteral("Compasso"));
            rowsShown.Post();
        }
        if (rowsShown.RowCount() > 1) {
            rowsShown.SetValue(0, 1, QStringLiteral("Geändert"));
            rowsShown.Next();
            if (steer & 1)
                rowsShown.Delete();
        }
        rowsShown.Post();
        rows = table.RecordCount();
    }

    const QByteArray after = ReadAll(path);
    if (!writable) {
        if (after != input)
            std::abort(); // written into a table it does not understand
        return 0;
    }
    TranslateTable again;
    if (!again.Open(path, true) || !again.Problem().IsEmpty() || again.RecordCount() != rows)
        std::abort();
    constexpr qsizetype HeadBytes = 32; // a dBase head: the row count at 4, its own length at 8
    if (after.size() < HeadBytes)
        std::abort();
    char head[HeadBytes];
    std::memcpy(head, after.constData(), HeadBytes);
    const int headerLength = qFromLittleEndian<quint16>(head + 8);
    if (qFromLittleEndian<quint32>(head + 4) != quint32(rows) ||
        after.size() < headerLength + qint64(rows) * TranslateTable::RecordLength)
        std::abort();
    bool found = false;
    for (int record = 0; record < rows && !found; ++record)
        found = again.Field(record, 0) == "Zirkel" && again.Field(record, 2) == "Compasso";
    if (!found)
        std::abort();
    return 0;
}
