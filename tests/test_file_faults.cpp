// Files under real faults: a full filesystem (a small tmpfs mounted for the test), FIFOs and
// devices where files are expected, a folder where options.dat belongs, and a sheet size no
// page can have. Nothing the user had may be lost, nothing may hang, and every failure is said.
#include "support/drawing_builder.h"
#include "support/file_helpers.h"
#include "support/large_drawing_file.h"
#include "support/window_fixture.h"

#include "app/desktop_keys.h"
#include "document/drawing_file.h"
#include "document/file_names.h"
#include "i18n/options_file.h"
#include "session/user_settings.h"

#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

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

// A German window in a program folder of its own (a test's own when none is given); its
// dialogs are answered by the test, the question about unsaved changes with No.
struct Window : WindowFixture {
    explicit Window(const QString &programDir = {}) : WindowFixture(WindowOptions().InFolder(programDir))
    {
        answer = SessionPrompts::Answer::No;
    }
    void AddLine(double y) { WindowFixture::AddLine(20, y, 190, y, 0.5); }
    void ExportThroughTheMenu()
    {
        QTimer::singleShot(0, &Find<TDPIForm>(), [this] { Find<TDPIForm>().BitBtn1->click(); });
        form->Menus().exportAction->trigger();
    }
};

// A drawing of one line on a sheet of the given size, as a file.
QString DrawingFile(const QTemporaryDir &dir, double widthInch = A4WidthInch, double heightInch = A4HeightInch)
{
    DrawingState drawing;
    DrawingBuilder(drawing).Line(0, 0, 100, 100, 1);
    DrawingFileSettings settings;
    settings.PageWidthInch = widthInch;
    settings.PageHeightInch = heightInch;
    const QString path = dir.filePath(QStringLiteral("drawing-%1.vlm").arg(widthInch));
    WriteAll(path, WriteDrawingFile(drawing, settings));
    return path;
}

struct Run {
    int exitCode = -1;
    bool crashed = false;
    QString errors;
};

// Under a memory limit fontconfig may fail to map its caches, scan the font folders with too
// little memory and write what it found (nothing) into the system's font cache: run as root,
// that hides the fonts from every later program. A limited exporter keeps its caches here.
QString FontConfigForLimitedRuns()
{
    static QTemporaryDir dir;
    const QString conf = dir.filePath(QStringLiteral("fonts.conf"));
    QFile file(conf);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write("<?xml version=\"1.0\"?>\n<fontconfig>\n<cachedir>" + dir.filePath("cache").toUtf8() +
                   "</cachedir>\n<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n</fontconfig>\n");
    return conf;
}

// velmora-export, within megabytes of address space when given.
Run Export(const QStringList &arguments, qint64 megabytes = 0)
{
    QProcess process;
    if (megabytes > 0) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FONTCONFIG_FILE"), FontConfigForLimitedRuns());
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([megabytes] {
            const rlimit limit{rlim_t(megabytes) << 20, rlim_t(megabytes) << 20};
            setrlimit(RLIMIT_AS, &limit);
        });
    }
    process.start(QStringLiteral(VELMORA_EXPORT), arguments);
    Run run;
    if (!process.waitForFinished(20000)) { // a blocked open: fail, do not hang
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("velmora-export did not finish");
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The least address space, to 4 MB, in which velmora-export exports a small drawing.
qint64 ExporterMegabytes(const QString &drawing, const QString &output)
{
    qint64 fails = 16, works = 1024;
    while (works - fails > 4) {
        const qint64 middle = (fails + works) / 2;
        (Export({drawing, "-o", output}, middle).exitCode == 0 ? works : fails) = middle;
    }
    return works;
}

// A drawing of many lines on its first sheet, as a file of about 88 bytes a line.
QString LargeDrawing(const QTemporaryDir &dir, int lines)
{
    const QString path = dir.filePath("large.vlm");
    if (!WriteObjectsFile(path, lines, [](int i) {
            return DrawingObject{KindLine, 0, 0.3, 10.0 + i % 190, 20, 30, 20.0 + i % 270, 0, 0, 0, 0, 0, 0};
        }))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Runs velmora-export through bash, which passes the file names as the bytes printf makes of
// them (a QProcess argument is always UTF-8).
Run ExportBytes(const QString &input, const QString &output)
{
    QProcess process;
    process.start(QStringLiteral("bash"),
                  {"-c", QStringLiteral("exec \"$0\" \"$(printf '%1')\" -o \"$(printf '%2')\"").arg(input, output),
                   QStringLiteral(VELMORA_EXPORT)});
    Run run;
    run.exitCode = process.waitForFinished(20000) ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The names in a folder as the disk holds them (Qt's listing leaves out names it cannot decode).
QList<QByteArray> RawEntries(const QByteArray &folder)
{
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names << QByteArray(entry->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool ExistsAsBytes(const QByteArray &path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
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
        w->Menus().saveAsAction->trigger();
        QVERIFY(w.errors.isEmpty());
        const QByteArray saved = ReadAll(w.savePath);
        QCOMPARE(saved.size(), 4 + 88 + 4 + 128);

        w.AddLine(80);
        disk.Fill();
        w->Menus().saveAction->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Die Zeichnung konnte nicht gespeichert werden:\n" + w.savePath));
        QVERIFY(w.errors[0].endsWith(DiskFull));
        QCOMPARE(ReadAll(w.savePath), saved);
        QVERIFY(w->Session().IsModified());
        QVERIFY(w->windowTitle().contains('*'));
        QCOMPARE(QDir(disk.dir.path()).entryList(QDir::Files), (QStringList{"drawing.vlm", "filler"}));
    }

    // Before, restoring a recovery copy discarded it although this run's copy of it could not
    // be written: after the next crash nothing was left. And a copy in a folder where no lock
    // could be made (full, or read-only) was never offered.
    void restoringOnAFullDiskKeepsTheCopy_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("full") << false;
        QTest::newRow("read-only") << true;
    }
    void restoringOnAFullDiskKeepsTheCopy()
    {
        QFETCH(bool, readOnly);
        FullDisk disk;
        SKIP_UNLESS_MOUNTED(disk);
        const QString slot = disk.Path("drawing-1-1");
        QFile::copy(Sample("full.vlm"), slot + ".vlm");
        WriteAll(slot + ".name", QByteArray());
        if (readOnly)
            QCOMPARE(QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", disk.dir.path()}), 0);
        else
            disk.Fill();
        AnsweringPrompts prompts;
        prompts.recoveryAnswer = SessionPrompts::RecoveryAnswer::Restore;
        TranslateTable table;
        Translator translation(table);
        {
            DocumentSession session(translation, prompts, disk.dir.path());
            session.Recovery.Offer();
            QCOMPARE(session.Drawing().Objects.Count, 4);
            QVERIFY(session.IsModified());
            QCOMPARE(prompts.statuses.size(), 1);
            QVERIFY2(readOnly || prompts.statuses[0].endsWith(DiskFull + QLatin1Char(')')),
                     qPrintable(prompts.statuses[0]));
        }
        QCOMPARE(ReadAll(slot + ".vlm"), ReadAll(Sample("full.vlm")));
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
        w->Menus().englishAction->trigger();
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
        w.exportPath = disk.Path("sheet." + format);
        WriteAll(w.exportPath, old);
        // From the command line.
        const QString output = disk.Path("batch." + format);
        WriteAll(output, old);
        const QString drawing = DrawingFile(w.dir);
        disk.Fill();

        w.ExportThroughTheMenu();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Das Bild konnte nicht gespeichert werden:\n" + w.exportPath));
        QVERIFY(w.errors[0].endsWith(DiskFull));
        QCOMPARE(ReadAll(w.exportPath), old);

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
            w->Menus().openAction->trigger();
            QCOMPARE(w.errors, QStringList{"Die Datei kann nicht geöffnet werden:\n" + path + "\n\n" + NotAFile});
            QCOMPARE(w->Session().Drawing().Objects.Count, 1); // the drawing stays
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
        QVERIFY(w->Menus().italianAction->isChecked()); // as without an options file
        QCOMPARE(w.information.size(), 1);
        QCOMPARE(w.information[0], "Die Übersetzungstabelle kann nicht gelesen werden; die Texte bleiben deutsch:\n" +
                                       dir.filePath("translate.dbf") + "\n\n" + NotAFile);
        // The language cannot be kept while a FIFO stands where options.dat belongs.
        w->Menus().germanAction->trigger();
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
            QCOMPARE(WithoutMnemonic(w->Menus().fileMenu->title()), QStringLiteral("File"));
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
        w->Menus().englishAction->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith(
            LanguageNotKept + "\n" +
            dir.filePath("options.dat") + "\n\n"));
        QVERIFY(w.information.isEmpty());
        QVERIFY(QFileInfo(dir.filePath("options.dat")).isDir());
    }

    // Before, a sheet of 1e-300 inches gave an empty PDF page and exit status 0; such a sheet
    // stored in a file is now damage, said with its reason.
    void sheetSizeThatCannotBeExportedIsRefused()
    {
        QTemporaryDir dir;
        const QString tiny = DrawingFile(dir, 1e-300, 1e-300);
        for (const QString format : {"pdf", "png", "bmp"}) {
            const QString output = dir.filePath("tiny." + format);
            const Run run = Export({tiny, "-o", output});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.errors.contains("is damaged or not a drawing: its sheet size is not between 0.1 and 5080 mm"),
                     qPrintable(run.errors));
            QVERIFY(!QFileInfo::exists(output));
        }
        const Run huge = Export({DrawingFile(dir, 1000, 10), "-o", dir.filePath("huge.pdf")});
        QCOMPARE(huge.exitCode, 1);

        Window w;
        w->Session().Document().PageWidthInch = w->Session().Document().PageHeightInch = 1e-300;
        w.exportPath = dir.filePath("window.pdf");
        w.ExportThroughTheMenu();
        QCOMPARE(w.errors.size(), 1);
        QCOMPARE(w.errors[0], QStringLiteral("Die Seitengröße 2,54E-299 × 2,54E-299 mm kann nicht ausgegeben werden; "
                                             "wählen Sie unter „Seite einrichten“ eine Größe von 0,1 bis 5080 mm."));
        QVERIFY(!QFileInfo::exists(w.exportPath));
    }

    // Before, velmora-export aborted (signal 6) when memory ran out while it read a large
    // drawing, which it held twice (the file and the list), or while it wrote its SVG picture.
    void exporterWithinAMemoryLimit()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("under the sanitizers the program reserves more address space than any limit allows");
#endif
        QTemporaryDir dir;
        const qint64 base = ExporterMegabytes(DrawingFile(dir), dir.filePath("small.png"));
        const QString large = LargeDrawing(dir, 400000);
        const qint64 fileMb = QFileInfo(large).size() >> 20; // 33
        const QString png = dir.filePath("large.png"), svg = dir.filePath("large.svg");

        // Room for the drawing once and a half: it is read straight into its list.
        Run run = Export({large, "--dpi", "10", "-o", png}, base + fileMb * 3 / 2);
        QVERIFY2(run.exitCode == 0 && !run.crashed, qPrintable(run.errors));
        QVERIFY(QFile::remove(png));
        // Room for half of it: said, and nothing written.
        run = Export({large, "--dpi", "10", "-o", png}, base + fileMb / 2);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("not enough memory to read " + large), qPrintable(run.errors));
        QVERIFY(!QFileInfo::exists(png));
        // Its SVG picture takes many times the drawing: said, and nothing left behind. (The
        // room the program needs is that of an SVG export: a PNG one draws on every core,
        // and each thread's stack and memory pool take address space.)
        const qint64 svgBase = ExporterMegabytes(DrawingFile(dir), dir.filePath("small.svg"));
        run = Export({large, "-o", svg}, svgBase + fileMb * 3 / 2);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.endsWith("cannot write " + svg + ": not enough memory\n"), qPrintable(run.errors));
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(!name.startsWith("large.svg") && !name.startsWith(".velmora"), qPrintable(name));
    }

    // Before, a Latin-1 name from an old USB stick was "No such file or directory", and -o wrote
    // a name other than the one given.
    void namesThatAreNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray drawing = ReadAll(DrawingFile(dir));
        const auto put = [](const QByteArray &path, const QByteArray &bytes) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
            ::close(fd);
        };
        put(folder + "/\xdc" "bung.vlm", drawing);
        put(folder + "/\xdc" "bung.png", "an older picture");
        QCOMPARE(::mkdir(folder + "/\xc4" "rger", 0755), 0);
        const QString at = dir.path() + '/';
        Run run = ExportBytes(at + "\\334bung.vlm", at + "\\334bung.png");
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QByteArray written;
        QVERIFY(ReadRegularFile(FileNameFromBytes(folder + "/\xdc" "bung.png"), 1 << 20, written).Ok());
        QVERIFY(written.startsWith("\x89PNG"));
        run = ExportBytes(at + "\\334bung.vlm", at + "\\304rger/\\334bung.svg");
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QVERIFY(ExistsAsBytes(folder + "/\xc4" "rger/\xdc" "bung.svg"));
        const QByteArray drawingName = QFile::encodeName(QFileInfo(DrawingFile(dir)).fileName());
        QCOMPARE(RawEntries(folder), (QList<QByteArray>{drawingName, "\xc4" "rger", "\xdc" "bung.png", "\xdc" "bung.vlm"}));

        // Messages show the names as they were meant, in the terminal's UTF-8.
        put(folder + "/\xdc" "bel.vlm", "damaged");
        run = ExportBytes(at + "\\334bel.vlm", at + "x.png");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(at + "Übel.vlm is damaged or not a drawing"), qPrintable(run.errors));
        run = ExportBytes(at + "\\334bung.vlm", at + "\\304rger/nowhere/x.png");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("cannot write " + at + "Ärger/nowhere/x.png"), qPrintable(run.errors));
    }

    // The window with a Latin-1 "\xdcbung.vlm": opened from outside, saved with Ctrl+S and
    // "Speichern unter", exported, shown as "Übung.vlm" in the title, the messages and the
    // recent drawings, which still open it after a restart.
    void windowKeepsNamesThatAreNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray drawing = folder + "/\xdc" "bung.vlm", copy = folder + "/Kopie \xe9.vlm";
        const QByteArray bytes = ReadAll(DrawingFile(dir));
        const int fd = ::open(drawing.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
        ::close(fd);
        const QString name = FileNameFromBytes(drawing);
        {
            Window w;
            w->OpenFromOutside(name);
            QVERIFY2(w.errors.isEmpty(), qPrintable(w.errors.join('\n')));
            QCOMPARE(w->Session().FileName(), name);
            QVERIFY2(w->windowTitle().contains("[" + dir.path() + "/Übung.vlm]"), qPrintable(w->windowTitle()));
            w.AddLine(50);
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.form.get(), Qt::Key_S,
                            Qt::ControlModifier);
            QVERIFY2(!w.Starred() && w.errors.isEmpty(), qPrintable(w->windowTitle() + w.errors.join('\n')));
            DrawingState read;
            DrawingFileSettings settings;
            QCOMPARE(LoadDrawingFile(name, read, settings), DrawingFileError::None);
            QCOMPARE(read.Objects.Count, 2);
            w.savePath = FileNameFromBytes(copy);
            w->Menus().saveAsAction->trigger();
            QVERIFY(ExistsAsBytes(copy) && w.errors.isEmpty());
            w.exportPath = FileNameFromBytes(folder + "/\xdc" "bung.png");
            w.ExportThroughTheMenu();
            QVERIFY(ExistsAsBytes(folder + "/\xdc" "bung.png") && w.errors.isEmpty());
            QVERIFY(!RawEntries(folder).contains("\xef\xbf\xbd" "bung.vlm"));
            w->OpenFromOutside(FileNameFromBytes(folder + "/\xdc" "bel.vlm"));
            QCOMPARE(w.errors.size(), 1);
            QVERIFY2(w.errors[0].contains(dir.path() + "/Übel.vlm"), qPrintable(w.errors[0]));
        }
        Window restarted;
        QCOMPARE(RecentDrawings().mid(0, 2), (QStringList{FileNameFromBytes(copy), name}));
        QAction *recent = restarted->Menus().fileMenu->findChild<QAction *>("recentAction2");
        QVERIFY(recent && recent->text().endsWith(dir.path() + "/Übung.vlm"));
        recent->trigger();
        QTRY_COMPARE(restarted->Session().FileName(), name);
        QCOMPARE(restarted->Session().Drawing().Objects.Count, 2);
        for (const QByteArray &stray : {drawing, copy, folder + "/\xdc" "bung.png"}) // beyond QTemporaryDir's reach
            ::unlink(stray.constData());
    }
};

QTEST_MAIN(TestFileFaults)
#include "test_file_faults.moc"
