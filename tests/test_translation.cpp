// The translation table on disk, the translator, the editor's rows and search, and the
// options file: real files in temporary folders.
#include "document/cp1252.h"
#include "i18n/options_file.h"
#include "i18n/table_upkeep.h"
#include "i18n/translate_dataset.h"
#include "i18n/translate_table.h"
#include "i18n/translator.h"

#include <QProcess>
#include <QSet>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int Rows(const TranslateTable &table)
{
    return table.RecordCount();
}

// The German texts of the rows that are not deleted.
QStringList Keys(const QString &path)
{
    TranslateTable table;
    table.Open(path, true);
    QStringList keys;
    for (int r = 0; r < table.RecordCount(); ++r)
        if (!table.IsDeleted(r))
            keys << table.FieldText(r, 0);
    return keys;
}

// Runs table_writer once per argument list, all of them starting their work at one moment;
// their exit codes.
QList<int> StartTogether(const QList<QStringList> &runs)
{
    QTemporaryDir barrier;
    const QString go = barrier.filePath("go");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TABLE_WRITER_GO", go);
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList &arguments : runs) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessEnvironment(environment);
        processes.back()->start(QStringLiteral(TABLE_WRITER), arguments);
        processes.back()->waitForStarted();
    }
    QThread::msleep(300); // each has opened its tables and waits
    QFile(go).open(QIODevice::WriteOnly);
    QList<int> codes;
    for (auto &process : processes)
        codes << (process->waitForFinished(120000) ? process->exitCode() : -1);
    return codes;
}

} // namespace

class TestTranslation : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }

private slots:
    void tableOnDiskIsDBaseThree()
    {
        const QString path = Path("header.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(path));
            QVERIFY(!table.ReadOnly());
            QCOMPARE(table.AppendRecord({"Kreis", "Circle", "Cerchio"}), 0);
            QCOMPARE(table.AppendRecord({UnicodeToCp1252("Größe")}), 1);
        }
        // An independent reading of the header: version, counts, lengths and field descriptors.
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(quint8(bytes[0]), quint8(0x03));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 2u);
        const int headerLength = qFromLittleEndian<quint16>(bytes.constData() + 8);
        QCOMPARE(headerLength, 32 + 19 * 32 + 1);
        QCOMPARE(int(qFromLittleEndian<quint16>(bytes.constData() + 10)), 4846);
        QCOMPARE(quint8(bytes[29]), quint8(0x57)); // Windows ANSI language driver
        for (int i = 0; i < 19; ++i) {
            const char *field = bytes.constData() + 32 + i * 32;
            QCOMPARE(QByteArray(field), QByteArray("language") + QByteArray::number(i + 1));
            QCOMPARE(field[11], 'C');
            QCOMPARE(quint8(field[16]), quint8(255));
            QCOMPARE(quint8(field[17]), quint8(0));
        }
        QCOMPARE(quint8(bytes[headerLength - 1]), quint8(0x0D));
        QVERIFY(bytes.size() >= headerLength + 2 * 4846);
        const QByteArray second = bytes.mid(headerLength + 4846, 4846);
        QCOMPARE(second[0], ' '); // not deleted
        QCOMPARE(second.mid(1, 6), QByteArray("Gr\xf6\xdf" "e ")); // Windows-1252, padded with blanks

        TranslateTable again;
        QVERIFY(again.Open(path));
        QCOMPARE(again.FieldText(1, 0), QStringLiteral("Größe"));
        QCOMPARE(again.FieldText(0, 2), QStringLiteral("Cerchio"));
        QVERIFY(again.SetDeleted(0, true));
        again.First();
        QCOMPARE(again.RecNo(), 1); // deleted rows are skipped
        again.Next();
        QVERIFY(again.Eof());
    }

    void translationRules()
    {
        TranslateTable table;
        QVERIFY(table.Open(Path("rules.dbf")));
        table.AppendRecord({"Kreis", "Circle"});
        table.AppendRecord({"Lineal", ""});
        table.AppendRecord({"Zirkel", " \t Compass\r\n "});
        Translator translator(table);
        translator.LoadTranslationIndex();
        translator.LanguageColumn = 1;

        QCOMPARE(translator.TranslateString("  Kreis  "), QStringLiteral("  Circle  "));
        QCOMPARE(translator.TranslateString("Lineal"), QStringLiteral("Lineal")); // empty translation
        QCOMPARE(translator.TranslateString(" Zirkel"), QStringLiteral(" Compass")); // blanks stripped
        QCOMPARE(translator.TranslateString("kreis"), QStringLiteral("kreis"));      // case-sensitive
        const int before = Rows(table);
        QCOMPARE(Rows(table), 4); // "kreis" was new
        QCOMPARE(translator.TranslateString("Winkel "), QStringLiteral("Winkel "));
        QCOMPARE(Rows(table), before + 1);
        QCOMPARE(table.FieldText(before, 0), QStringLiteral("Winkel")); // recorded without spaces
        QCOMPARE(translator.TranslateString("Winkel"), QStringLiteral("Winkel"));
        QCOMPARE(Rows(table), before + 1); // the second lookup finds it
        QCOMPARE(translator.TranslateString(""), QString());
        QCOMPARE(translator.TranslateString("   "), QStringLiteral("   "));
        QCOMPARE(Rows(table), before + 1); // blanks are never recorded

        translator.LanguageColumn = 0;
        QCOMPARE(translator.TranslateString(" Kreis "), QStringLiteral(" Kreis "));
        QCOMPARE(translator.TranslateString("Zirkel"), QStringLiteral("Zirkel"));

        // A new row is looked up at once, and its translation is read from the table each time.
        translator.LanguageColumn = 1;
        table.WriteField(before, 1, "Angle");
        QCOMPARE(translator.TranslateString("Winkel"), QStringLiteral("Angle"));
    }

    void programMessages()
    {
        TranslateTable table;
        QVERIFY(table.Open(Path("messages.dbf")));
        Translator translator(table);
        translator.LoadTranslationIndex();
        QCOMPARE(translator.ProgramMessage(Message::ProgramTitle), QStringLiteral("Brandok Velmora 1.0"));
        QCOMPARE(translator.ProgramMessage(Message(3)), QString());
        QCOMPARE(translator.ProgramMessage(Message::Untitled), QStringLiteral("unbenannt.vlm"));
        translator.RegisterMessages();
        QStringList keys;
        for (int r = 0; r < table.RecordCount(); ++r)
            keys << table.FieldText(r, 0);
        QCOMPARE(keys.size(), 6);
        QVERIFY(keys.contains("Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?"));
        QVERIFY(keys.contains("Bitte schließen Sie das Programm und starten Sie es erneut!"));
    }

    void indexIsSortedPerBucket()
    {
        TranslateTable table;
        QVERIFY(table.Open(Path("sorted.dbf")));
        for (const QString key : {"Zoll", "Zirkel", "Ziel", "Zahl", "Zirkel", "Zeile", "Ärger", "apfel"})
            table.AppendRecord({UnicodeToCp1252(key), UnicodeToCp1252(key.toUpper())});
        Translator translator(table);
        translator.LoadTranslationIndex();
        const TranslationBucket &z = translator.Bucket('Z');
        QStringList order;
        for (int i = 0; i < z.Count; ++i)
            order << z.At(i).Key;
        QCOMPARE(order, (QStringList{"Zahl", "Zeile", "Ziel", "Zirkel", "Zirkel", "Zoll"}));
        QCOMPARE(translator.Bucket(0xC4).Count, 1); // first byte of "Ärger" in Windows-1252
        QCOMPARE(translator.Bucket('a').Count, 1);
        translator.LanguageColumn = 1;
        QCOMPARE(translator.TranslateString("Ärger"), QStringLiteral("ÄRGER"));
    }

    void readOnlyTableStillTranslates()
    {
        const QString path = Path("readonly.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(path));
            table.AppendRecord({"Kreis", "Circle"});
        }
        const QByteArray before = ReadAll(path);
        TranslateTable table;
        QVERIFY(table.Open(path, true));
        QVERIFY(table.ReadOnly());
        Translator translator(table);
        translator.LoadTranslationIndex();
        translator.LanguageColumn = 1;
        QCOMPARE(translator.TranslateString("Kreis"), QStringLiteral("Circle"));
        QCOMPARE(translator.TranslateString("Unbekannt"), QStringLiteral("Unbekannt"));
        QCOMPARE(translator.TranslateString("Unbekannt"), QStringLiteral("Unbekannt"));
        QCOMPARE(table.RecordCount(), 1);
        QCOMPARE(ReadAll(path), before);

        // Opening for writing falls back to reading where the file may not be written.
        if (getuid() != 0) {
            QFile::setPermissions(path, QFileDevice::ReadOwner);
            TranslateTable protectedTable;
            QVERIFY(protectedTable.Open(path));
            QVERIFY(protectedTable.ReadOnly());
        }
    }

    void damagedTableIsRefusedNotFatal()
    {
        const QString path = Path("damaged.dbf");
        WriteAll(path, QByteArray("\x03\x7e\x01\x01 this is no table"));
        TranslateTable table;
        table.Open(path);
        Translator translator(table);
        translator.LoadTranslationIndex();
        QCOMPARE(translator.TranslateString("Kreis"), QStringLiteral("Kreis"));
    }

    // Damaged and foreign tables: the rows that are really there are read, nothing is written,
    // and the problem is named. Before, a head claiming 2^31 - 1 rows hung the start for hours.
    void tablesNotOursAreOnlyRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("english"); // what "Datei" translates to
        QTest::addColumn<QString>("problem");
        QTest::newRow("count huge") << "table_count_huge.dbf" << true << 2 << "File"
                                    << "Der Kopf nennt 2147483647 Zeilen, die Datei enthält nur 2;";
        QTest::newRow("count short") << "table_count_short.dbf" << true << 2 << "File"
                                     << "Der Kopf nennt 3 Zeilen, die Datei enthält nur 2;";
        QTest::newRow("date column") << "table_date_column.dbf" << true << 2 << "File"
                                     << "Die Spalte 3 ist vom Typ D mit 8 Zeichen";
        QTest::newRow("number column") << "table_number_column.dbf" << true << 1 << "Datei"
                                       << "Die Spalte 2 ist vom Typ N mit 10 Zeichen";
        QTest::newRow("narrow columns") << "table_narrow_columns.dbf" << true << 2 << "File"
                                        << "Die Spalte 1 ist vom Typ C mit 100 Zeichen";
        QTest::newRow("three columns") << "table_three_columns.dbf" << true << 2 << "File"
                                       << "Die Tabelle hat 3 Spalten statt 19";
        QTest::newRow("record length") << "table_record_length.dbf" << false << 0 << "Datei"
                                       << "Die Zeilenlänge 4800 passt nicht zu den Spalten (4846).";
    }

    void tablesNotOursAreOnlyRead()
    {
        QFETCH(QString, file);
        QFETCH(bool, readable);
        QFETCH(int, rows);
        QFETCH(QString, english);
        QFETCH(QString, problem);
        const QString path = Path(file);
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/") + file, path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QByteArray before = ReadAll(path);
        alarm(60); // a hang ends the test instead of the machine's afternoon
        {
            TranslateTable table;
            QCOMPARE(table.Open(path), readable);
            QVERIFY(table.Problem().Text([](const QString &german) { return german; }).startsWith(problem));
            QCOMPARE(table.RecordCount(), rows);
            QVERIFY(!table.IsOpen() || table.ReadOnly());
            Translator translator(table);
            translator.LoadTranslationIndex();
            translator.RegisterMessages(); // a start meets new texts...
            translator.LanguageColumn = 1;
            QCOMPARE(translator.TranslateString("Datei"), english);
            QCOMPARE(translator.TranslateString("Noch nie gesehen"), QStringLiteral("Noch nie gesehen"));
            QCOMPARE(table.AppendRecord({"Neu"}), -1); // ...and the editor would write
            QVERIFY(!table.WriteField(0, 0, "Anders"));
            QVERIFY(!table.SetDeleted(0, true));
        }
        alarm(0);
        QCOMPARE(ReadAll(path), before); // not a byte written, not extended
    }

    // Two copies of the program in one folder append at the same time: every row of both is
    // kept and the head counts exactly the rows present. Before, each copy wrote its own count.
    void twoProcessesAppendToOneTable()
    {
        const QString path = Path("shared.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(path)); // created once, before both start
        }
        constexpr int PerProcess = 150;
        QProcess first, second;
        first.start(QStringLiteral(TABLE_WRITER), {path, "Erster", QString::number(PerProcess)});
        second.start(QStringLiteral(TABLE_WRITER), {path, "Zweiter", QString::number(PerProcess)});
        QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);

        const QByteArray bytes = ReadAll(path);
        QVERIFY(bytes.size() >= 32); // the head's fixed part, before it is read
        const auto head = [&bytes](int at, int size) {
            return bytes.size() < at + size ? -1 : int(size == 2 ? qFromLittleEndian<quint16>(bytes.constData() + at)
                                                                 : qFromLittleEndian<quint32>(bytes.constData() + at));
        };
        const int present = int((bytes.size() - head(8, 2)) / TranslateTable::RecordLength);
        QCOMPARE(head(4, 4), present);
        QCOMPARE(present, 2 * PerProcess);
        TranslateTable table;
        QVERIFY(table.Open(path, true));
        QVERIFY(table.Problem().IsEmpty());
        QSet<QString> keys;
        for (int r = 0; r < table.RecordCount(); ++r)
            keys.insert(table.FieldText(r, 0));
        for (int i = 0; i < PerProcess; ++i) {
            QVERIFY(keys.contains(QStringLiteral("Erster %1").arg(i)));
            QVERIFY(keys.contains(QStringLiteral("Zweiter %1").arg(i)));
        }
    }

    // Two copies started at once meet the same new texts. Before, both added a row for each
    // (76 repeated rows at a real start), and a translation typed into the later one was ignored.
    void twoProcessesMeetTheSameTexts()
    {
        const QString path = Path("same.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(path));
        }
        constexpr int Texts = 150;
        QCOMPARE(StartTogether({{path, "Gemeinsam", QString::number(Texts)}, {path, "Gemeinsam", QString::number(Texts)}}),
                 (QList<int>{0, 0}));
        const QStringList keys = Keys(path);
        QCOMPARE(keys.size(), Texts);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), Texts);
    }

    // Rows that repeat a German text (left by older versions): the first translation found in
    // table order counts, the start folds them into the first row, and the editor shows and
    // edits the row the program reads.
    void repeatedRowsAreFoldedIntoTheFirst()
    {
        const QString path = Path("repeated.dbf");
        TranslateTable table;
        QVERIFY(table.Open(path));
        table.AppendRecord({"Datei"});                 // recorded by one copy
        table.AppendRecord({"Kreis", "Circle"});
        table.AppendRecord({"Datei", "File", "File"}); // the other copy's row, translated later
        table.AppendRecord({"Kreis", "Round"});        // says something else: left to the translator
        {
            Translator translator(table);
            translator.LoadTranslationIndex();
            translator.LanguageColumn = 1;
            QCOMPARE(translator.TranslateString("Datei"), QStringLiteral("File"));
            QCOMPARE(translator.TranslateString("Kreis"), QStringLiteral("Circle"));
        }
        QCOMPARE(CompleteTable(table, {}).Folded, 1);
        QCOMPARE(table.FieldText(0, 1), QStringLiteral("File"));
        QCOMPARE(table.FieldText(0, 2), QStringLiteral("File"));
        QVERIFY(table.IsDeleted(2));
        QVERIFY(!table.IsDeleted(3));

        TranslateDataSet rows(table);
        QStringList shown;
        for (int row = 0; row < rows.RowCount(); ++row)
            shown << rows.Value(row, 0);
        QCOMPARE(shown, (QStringList{"Datei", "Kreis", "Kreis"}));
        QVERIFY(rows.SetValue(0, 1, "Document"));
        QVERIFY(rows.Post());
        Translator translator(table);
        translator.LoadTranslationIndex();
        translator.LanguageColumn = 1;
        QCOMPARE(translator.TranslateString("Datei"), QStringLiteral("Document"));

        const QByteArray complete = ReadAll(path);
        QCOMPARE(CompleteTable(table, {}).Folded, 0);
        QCOMPARE(ReadAll(path), complete); // nothing to do: not written
    }

    // Before, the user's copy of the table kept the rows of the version first installed: texts
    // a newer version shipped stayed untranslated for ever.
    void newerShippedTableCompletesTheUsersCopy()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/velmora"));
        const QString shipped = prefix.filePath("share/velmora/translate.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(shipped));
            table.AppendRecord({"Datei", "File", "File"});
            table.AppendRecord({"Neu", "New", "Nuovo"});
            table.AppendRecord({"Lineal", "Ruler", "Righello"});
        }
        const QString own = Path("own.dbf");
        {
            TranslateTable table;
            QVERIFY(table.Open(own));
            table.AppendRecord({"Datei", "Dossier"}); // the user's own word
            table.AppendRecord({"Lineal"});           // met by the older program, never translated
            table.AppendRecord({"Eigener Text", "My text"});
        }
        const QString older = Path("older.dbf");
        QVERIFY(QFile::copy(own, older));
        const QByteArray shippedBytes = ReadAll(shipped);
        {
            TranslateTable table;
            QVERIFY(table.Open(own));
            const UpkeepCount count = UpdateUserTable(table, prefix.filePath("bin") + "/");
            QCOMPARE(count.Added, 1);
            QCOMPARE(count.Filled, 3);
            Translator translator(table);
            translator.LoadTranslationIndex();
            translator.LanguageColumn = 1;
            QCOMPARE(translator.TranslateString("Datei"), QStringLiteral("Dossier"));
            QCOMPARE(translator.TranslateString("Neu"), QStringLiteral("New"));
            QCOMPARE(translator.TranslateString("Lineal"), QStringLiteral("Ruler"));
            QCOMPARE(translator.TranslateString("Eigener Text"), QStringLiteral("My text"));
            translator.LanguageColumn = 2;
            QCOMPARE(translator.TranslateString("Datei"), QStringLiteral("File"));
        }
        QCOMPARE(ReadAll(shipped), shippedBytes);

        // Two copies of the newer version started at once add the new row once.
        QVERIFY(QFile::remove(own) && QFile::copy(older, own));
        QCOMPARE(StartTogether({{own, "--complete", shipped}, {own, "--complete", shipped}}), (QList<int>{0, 0}));
        QCOMPARE(Keys(own), (QStringList{"Datei", "Lineal", "Eigener Text", "Neu"}));
    }

    // A FIFO or a device in the table's place is neither waited for nor read.
    void specialFilesAreNoTables()
    {
        const QString fifo = Path("fifo.dbf");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = Path("zero.dbf");
        QVERIFY(QFile::link("/dev/zero", zero));
        alarm(30);
        for (const QString &path : {fifo, zero}) {
            TranslateTable table;
            QVERIFY(!table.Open(path));
            QCOMPARE(table.Problem().Text([](const QString &german) { return german; }),
                     QStringLiteral("Das ist keine gewöhnliche Datei (ein Ordner, ein Gerät oder eine Pipe)."));
            QFile::remove(path);
        }
        const QString options = Path("options.dat");
        QCOMPARE(mkfifo(QFile::encodeName(options).constData(), 0600), 0);
        QCOMPARE(ReadOptionsFile(options), -1);
        QCOMPARE(WriteOptionsFile(options, LanguageGerman).Fault, FileFault::NotRegular); // the FIFO stays
        QVERIFY(QFileInfo(options).exists() && !QFileInfo(options).isFile());
        QFile::remove(options);
        alarm(0);
    }

    void searchAndEditorRows()
    {
        const QString path = Path("editor.dbf");
        TranslateTable table;
        QVERIFY(table.Open(path));
        table.AppendRecord({"Kreis zeichnen", "Draw circle"});
        table.AppendRecord({"Lineal"});
        table.AppendRecord({"Halbkreis", "", "SEMICERCHIO KREIS"});
        table.AppendRecord({"Linie", "", "", "kreisförmig"});
        table.AppendRecord({"Zirkel"});
        table.SetDeleted(4, true);

        QList<int> found;
        for (int r = 0; r < table.RecordCount(); ++r)
            if (TranslateFilterRecord(table, r, "kreis"))
                found << r;
        QCOMPARE(found, (QList<int>{0, 2, 3}));
        QVERIFY(!TranslateFilterRecord(table, 0, ""));   // an empty search accepts nothing
        QVERIFY(!TranslateFilterRecord(table, 3, "FÖRMIG")); // only a to z are folded

        TranslateDataSet rows(table);
        QCOMPARE(rows.RowCount(), 4);
        QString search = "KREIS";
        table.SetFilter([&](int r) { return TranslateFilterRecord(table, r, search); });
        rows.Refresh();
        QCOMPARE(rows.RowCount(), 3);
        search.clear(); // the filter reads the search at every evaluation
        rows.Refresh();
        QCOMPARE(rows.RowCount(), 0);
        table.SetFilter(nullptr);
        rows.Refresh();

        QVERIFY(rows.SetValue(1, 1, "Ruler"));
        QCOMPARE(rows.CurrentState(), TranslateDataSet::State::Edit);
        rows.Next(); // leaving the row posts it
        QVERIFY(rows.Insert());
        QCOMPARE(rows.RowCount(), 5);
        QVERIFY(rows.SetValue(4, 0, "Neue Zeile"));
        QVERIFY(rows.Post());
        QVERIFY(rows.Edit());
        QVERIFY(rows.SetValue(4, 2, "verworfen"));
        rows.Cancel();
        rows.SetRow(0);
        QVERIFY(rows.Delete());
        QCOMPARE(rows.RowCount(), 4);

        TranslateTable reopened; // the changes are in the file
        QVERIFY(reopened.Open(path, true));
        QCOMPARE(reopened.FieldText(1, 1), QStringLiteral("Ruler"));
        QCOMPARE(reopened.FieldText(5, 0), QStringLiteral("Neue Zeile"));
        QCOMPARE(reopened.FieldText(5, 2), QString());
        QVERIFY(reopened.IsDeleted(0));
    }

    void optionsFile()
    {
        const QString path = Path("options.dat");
        QCOMPARE(ReadOptionsFile(path), -1); // missing
        QVERIFY(WriteOptionsFile(path, LanguageEnglish).Ok());
        QCOMPARE(ReadAll(path), QByteArray("\x01\x00\x00\x00", 4));
        QCOMPARE(ReadOptionsFile(path), 1);
        WriteAll(path, QByteArray("\x05\x00\x00\x00\xff", 5)); // bytes after the fourth are ignored
        QCOMPARE(ReadOptionsFile(path), 5);
        WriteAll(path, QByteArray("\x01\x00", 2));
        QCOMPARE(ReadOptionsFile(path), -1); // short
        WriteAll(path, QByteArray("\x13\x00\x00\x00", 4));
        QCOMPARE(ReadOptionsFile(path), -1); // 19: no such column
        WriteAll(path, QByteArray("\xff\xff\xff\xff", 4));
        QCOMPARE(ReadOptionsFile(path), -1);
        QVERIFY(!WriteOptionsFile(Path("no/such/folder/options.dat"), 0).Ok());
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "test_translation.moc"
