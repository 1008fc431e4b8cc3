// Files under real faults: a full filesystem (a small tmpfs mounted for the test), FIFOs and
// devices where files are expected, a folder where options.dat belongs, and a sheet size no
// page can have. Nothing the user had may be lost, nothing may hang, and every failure is said.
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "document/drawing_file.h"
#include "i18n/options_file.h"

#include <QProcess>
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

// A small tmpfs mounted on a temporary folder for one test, and filled to the last byte.
struct FullDisk {
    QTemporaryDir dir;
    bool mounted = false;
    QString why;
    FullDisk()
    {
        if (geteuid() != 0) {
            why = QStringLiteral("mounting a small filesystem needs root");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=256k", "tmpfs", dir.path()});
        mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        if (!mounted)
            why = QStringLiteral("mount -t tmpfs failed: ") + QString::fromLocal8Bit(mount.readAllStandardError());
    }
    ~FullDisk()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {"-l", dir.path()});
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    // Writes a filler file until the filesystem says it is full.
    void Fill() const
    {
        QFile filler(Path("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
        QCOMPARE(filler.error(), QFileDevice::ResourceError);
    }
};

#define SKIP_UNLESS_MOUNTED(disk)                                                                                     \
    if (!(disk).mounted)                                                                                               \
    QSKIP(qPrintable((disk).why))

// A German window in a program folder of its own; its dialogs are answered by the test.
struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    QStringList errors, information;
    QString openPath, savePath;
    explicit Window(const QString &programDir = {})
    {
        const QString folder = programDir.isEmpty() ? dir.path() : programDir;
        if (!QFileInfo::exists(folder + "/options.dat"))
            WriteOptionsFile(folder + "/options.dat", LanguageGerman);
        form = std::make_unique<TMainForm>(folder);
        form->ShowError = [this](const QString &text) { errors << text; };
        form->ShowInformation = [this](const QString &text, const QString &) { information << text; };
        form->AskYesNoCancel = [](const QString &, const QString &) { return QMessageBox::No; };
        form->AskOpenFileName = [this](const FileDialogFilter &) { return openPath; };
        form->AskSaveFileName = [this](const FileDialogFilter &) { return savePath; };
        form->show();
    }
    ~Window() { form->State.Modified = false; }
    TMainForm *operator->() { return form.get(); }
    void AddLine(double y)
    {
        DrawingObject *o = form->State.Objects.Append();
        *o = DrawingObject{};
        o->PenWidth = 0.5;
        o->X1 = 20;
        o->X2 = 190;
        o->Y1 = o->Y2 = y;
        form->SetChanged();
    }
    void ExportThroughTheMenu()
    {
        QTimer::singleShot(0, Probe(form).DPIForm, [this] { Probe(form).DPIForm->BitBtn1->click(); });
        Probe(form).DateiAlsBildexportieren1->trigger();
    }
};

// A drawing of one line on a sheet of the given size, as a file.
QString DrawingFile(const QTemporaryDir &dir, double widthInch = A4WidthInch, double heightInch = A4HeightInch)
{
    DrawingState drawing;
    DrawingObject *o = drawing.Objects.Append();
    *o = DrawingObject{};
    o->PenWidth = 1;
    o->X2 = o->Y2 = 100;
    DrawingFileSettings settings;
    settings.PageWidthInch = widthInch;
    settings.PageHeightInch = heightInch;
    const QString path = dir.filePath(QStringLiteral("drawing-%1.vlm").arg(widthInch));
    WriteAll(path, WriteDrawingFile(drawing, settings));
    return path;
}

struct Run {
    int exitCode = -1;
    QString errors;
};

Run Export(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELMORA_EXPORT), arguments);
    Run run;
    if (!process.waitForFinished(20000)) { // a blocked open: fail, do not hang
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("velmora-export did not finish");
        return run;
    }
    run.exitCode = process.exitCode();
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

int HeaderRows(const QString &table)
{
    const QByteArray bytes = ReadAll(table);
    return bytes.size() < 12 ? -1 : int(qFromLittleEndian<quint32>(bytes.constData() + 4));
}

int RowsPresent(const QString &table)
{
    const QByteArray bytes = ReadAll(table);
    return bytes.size() < 12 ? -1 : int((bytes.size() - qFromLittleEndian<quint16>(bytes.constData() + 8)) / 4846);
}

const QString DiskFull = QStringLiteral("Der Datenträger ist voll.");
const QString NotAFile = QStringLiteral("Das ist keine gewöhnliche Datei (ein Ordner, ein Gerät oder eine Pipe).");
const QString LanguageNotKept = QStringLiteral("Die gewählte Sprache konnte nicht gespeichert werden; beim nächsten Start "
                                               "erscheint das Programm wieder in der bisherigen Sprache:");

} // namespace

class TestFileFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Before, a drawing under 16 KB saved onto a full disk became an empty file and the
    // asterisk went away without a word.
    void savingOntoAFullDiskKeepsTheOldDrawing()
    {
        FullDisk disk;
        SKIP_UNLESS_MOUNTED(disk);
        Window w;
        w.savePath = disk.Path("drawing.vlm");
        w.AddLine(50);
        Probe(w).Speichernunter1->trigger();
        QVERIFY(w.errors.isEmpty());
        const QByteArray saved = ReadAll(w.savePath);
        QCOMPARE(saved.size(), 4 + 88 + 4 + 128);

        w.AddLine(80);
        disk.Fill();
        Probe(w).Speichern1->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Die Zeichnung konnte nicht gespeichert werden:\n" + w.savePath));
        QVERIFY(w.errors[0].endsWith(DiskFull));
        QCOMPARE(ReadAll(w.savePath), saved);
        QVERIFY(w->State.Modified);
        QVERIFY(w->windowTitle().contains('*'));
        QCOMPARE(QDir(disk.dir.path()).entryList(QDir::Files), (QStringList{"drawing.vlm", "filler"}));
    }

    // Before, the choice was lost silently and the next start was Italian.
    void languageChoiceOnAFullDiskIsReported()
    {
        FullDisk disk;
        SKIP_UNLESS_MOUNTED(disk);
        Window w(disk.dir.path());
        const QString options = disk.Path("options.dat");
        QCOMPARE(ReadAll(options), QByteArray(4, '\0'));
        disk.Fill();
        Probe(w).SpracheEnglish1->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith(
            LanguageNotKept + "\n" + options));
        QVERIFY(w.errors[0].endsWith(DiskFull));
        QVERIFY(w.information.isEmpty()); // no request to restart for a choice that was not kept
        QCOMPARE(ReadAll(options), QByteArray(4, '\0'));
        // The new message texts could not be added to the full table: its head still counts its rows.
        const QString table = disk.Path("translate.dbf");
        QCOMPARE(HeaderRows(table), RowsPresent(table));
    }

    void exportsOntoAFullDiskKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("bmp") << "bmp";
        QTest::newRow("png") << "png";
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("svg") << "svg";
    }

    void exportsOntoAFullDiskKeepTheOldFile()
    {
        QFETCH(QString, format);
        FullDisk disk;
        SKIP_UNLESS_MOUNTED(disk);
        const QByteArray old("the image exported before");

        // From the window's menu.
        Window w;
        w.AddLine(100);
        w.savePath = disk.Path("sheet." + format);
        WriteAll(w.savePath, old);
        // From the command line.
        const QString output = disk.Path("batch." + format);
        WriteAll(output, old);
        const QString drawing = DrawingFile(w.dir);
        disk.Fill();

        w.ExportThroughTheMenu();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Das Bild konnte nicht gespeichert werden:\n" + w.savePath));
        QVERIFY(w.errors[0].endsWith(DiskFull));
        QCOMPARE(ReadAll(w.savePath), old);

        const Run run = Export({drawing, "--dpi", "100", "-o", output});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("cannot write " + output + ": the disk is full"), qPrintable(run.errors));
        QCOMPARE(ReadAll(output), old);
    }

    // Before, a FIFO blocked the open for ever and /dev/zero was read without end.
    void specialFilesAreNotOpened()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe.vlm"), zero = dir.filePath("zero.vlm");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", zero));
        alarm(60); // a hang ends the test
        Window w;
        w.AddLine(30);
        for (const QString &path : {fifo, zero}) {
            w.errors.clear();
            w.openPath = path;
            Probe(w).ffnen1->trigger();
            QCOMPARE(w.errors, QStringList{"Die Datei kann nicht geöffnet werden:\n" + path + "\n\n" + NotAFile});
            QCOMPARE(w->State.Objects.Count, 1); // the drawing stays
            const Run run = Export({path, "-o", dir.filePath("out.png")});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.errors.contains("cannot read " + path + ": not a regular file"), qPrintable(run.errors));
        }
        alarm(0);
    }

    // Before, a FIFO named options.dat or translate.dbf kept the window from ever appearing.
    void specialDataFilesDoNotStopTheStart()
    {
        QTemporaryDir dir;
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("options.dat")).constData(), 0600), 0);
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("translate.dbf")).constData(), 0600), 0);
        alarm(60);
        Window w(dir.path());
        alarm(0);
        QVERIFY(w->isVisible());
        QVERIFY(Probe(w).SpracheItaliano1->isChecked()); // as without an options file
        QCOMPARE(w.information.size(), 1);
        QCOMPARE(w.information[0], "Die Übersetzungstabelle kann nicht gelesen werden; die Texte bleiben deutsch:\n" +
                                       dir.filePath("translate.dbf") + "\n\n" + NotAFile);
        // The language cannot be kept while a FIFO stands where options.dat belongs.
        Probe(w).SpracheDeutsch1->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].endsWith(NotAFile));
        QVERIFY(QFileInfo(dir.filePath("options.dat")).exists() && !QFileInfo(dir.filePath("options.dat")).isFile());
    }

    // A table of another structure is used for reading, said at the start, and left as it was.
    void foreignTableIsOnlyReadAndSaidSo()
    {
        QTemporaryDir dir;
        const QString table = dir.filePath("translate.dbf");
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/table_date_column.dbf"), table));
        QFile::setPermissions(table, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QByteArray before = ReadAll(table);
        WriteOptionsFile(dir.filePath("options.dat"), LanguageEnglish);
        {
            Window w(dir.path());
            QCOMPARE(WithoutMnemonic(Probe(w).Datei1->title()), QStringLiteral("File"));
            QCOMPARE(w.information,
                     QStringList{"Die Übersetzungstabelle wird nur gelesen und nicht verändert:\n" + table +
                                 "\n\nDie Spalte 3 ist vom Typ D mit 8 Zeichen statt Text (C) mit 255 Zeichen; die "
                                 "Tabelle wird nur gelesen."});
        }
        QCOMPARE(ReadAll(table), before);
    }

    // Before, the choice was dropped without a word.
    void languageThatCannotBeKeptIsReported()
    {
        QTemporaryDir dir;
        Window w(dir.path());
        QFile::remove(dir.filePath("options.dat"));
        QVERIFY(QDir(dir.path()).mkdir("options.dat"));
        Probe(w).SpracheEnglish1->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith(
            LanguageNotKept + "\n" +
            dir.filePath("options.dat") + "\n\n"));
        QVERIFY(w.information.isEmpty());
        QVERIFY(QFileInfo(dir.filePath("options.dat")).isDir());
    }

    // Before, a sheet of 1e-300 inches gave an empty PDF page and exit status 0.
    void sheetSizeThatCannotBeExportedIsRefused()
    {
        QTemporaryDir dir;
        const QString tiny = DrawingFile(dir, 1e-300, 1e-300);
        for (const QString format : {"pdf", "png", "bmp"}) {
            const QString output = dir.filePath("tiny." + format);
            const Run run = Export({tiny, "-o", output});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.errors.contains("the sheet size 2.54e-299 x 2.54e-299 mm cannot be exported"),
                     qPrintable(run.errors));
            QVERIFY(!QFileInfo::exists(output));
        }
        const Run huge = Export({DrawingFile(dir, 1000, 10), "-o", dir.filePath("huge.pdf")});
        QCOMPARE(huge.exitCode, 1);

        Window w;
        w->State.PageWidthInch = w->State.PageHeightInch = 1e-300;
        w.savePath = dir.filePath("window.pdf");
        w.ExportThroughTheMenu();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY2(w.errors[0].startsWith("Die Seitengröße 2,54E-299 × 2,54E-299 mm kann nicht ausgegeben werden"), qPrintable(w.errors[0]));
        QVERIFY(!QFileInfo::exists(w.savePath));
    }
};

QTEST_MAIN(TestFileFaults)
#include "test_file_faults.moc"
