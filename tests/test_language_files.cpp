// The program's language and the user's files, tried as an ordinary user (permissions do not
// hold for root; CTest runs this test as nobody when it runs as root): a home folder that
// cannot be written, the reasons of file errors in the program's language, the answer to
// --help, the settings file the README names, and a newer shipped table at start.
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "support/answering_prompts.h"
#include "session/user_settings.h"
#include "i18n/file_reasons.h"
#include "i18n/options_file.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// bin/ and share/velmora/ as the package installs them, with the shipped table and options.
struct Installed {
    QTemporaryDir prefix;
    explicit Installed(int language = LanguageGerman)
    {
        QDir(prefix.path()).mkpath("bin");
        QDir(prefix.path()).mkpath("share/velmora");
        WriteOptionsFile(Shipped("options.dat"), language);
        QFile::copy(QStringLiteral(BUILT_TABLE), Shipped("translate.dbf"));
    }
    QString Bin() const { return prefix.filePath("bin") + "/"; }
    QString Shipped(const QString &name) const { return prefix.filePath("share/velmora/" + name); }
};

// A home folder of its own for one test, the user's data folder inside it. (The settings
// file's folder is chosen once per process: main() gives it a folder of its own.)
struct Home {
    QTemporaryDir dir;
    Home()
    {
        qputenv("HOME", QFile::encodeName(dir.path()));
        qunsetenv("XDG_DATA_HOME");
    }
    ~Home() { QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner); }
    void MakeReadOnly() { QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner); }
    static QString DataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }
};

// A window whose messages are collected.
struct Window : AnsweringPrompts {
    std::unique_ptr<TMainForm> form;
    explicit Window(const QString &programDir)
    {
        answer = Answer::No;
        form = std::make_unique<TMainForm>(programDir);
        form->Session().SetPrompts(*this);
        form->show();
    }
    QAction *Item(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    QString LastError() const { return errors.value(errors.size() - 1); }
};

#define SKIP_AS_ROOT()                                                                                                 \
    if (geteuid() == 0)                                                                                                \
    QSKIP("permissions do not hold for root; CTest runs this test as nobody")

const QString EnglishNotKept = QStringLiteral(
    "The chosen language could not be saved; at the next start the program appears in its previous language again:");
const QString EnglishNoPermission = QStringLiteral("You do not have permission for this.");

} // namespace

class TestLanguageFiles : public QObject {
    Q_OBJECT
    QByteArray savedHome;

private slots:
    void initTestCase()
    {
        savedHome = qgetenv("HOME");
        qunsetenv("VELMORA_RECOVERY_SECONDS");
    }
    void cleanup() { qputenv("HOME", savedHome); }

    // Before, a home that could not be written gave a window half in German with "Italiano"
    // ticked, the ruler in inches, and a German sentence with an Italian reason.
    void readOnlyHomeUsesTheShippedFiles_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("quit"); // the text of "Beenden"
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("reason");
        QTest::newRow("German") << LanguageGerman << "Beenden"
                                << "Einstellungen und Übersetzungen können nicht gespeichert werden, weil dieser "
                                   "Ordner nicht angelegt oder beschrieben werden kann:"
                                << "Dafür fehlt Ihnen die Berechtigung.";
        QTest::newRow("Italian") << LanguageItalian << "Esci"
                                 << "Impostazioni e traduzioni non possono essere salvate perché questa cartella non "
                                    "può essere creata o scritta:"
                                 << "Non si dispone dei permessi necessari.";
    }

    void readOnlyHomeUsesTheShippedFiles()
    {
        SKIP_AS_ROOT();
        QFETCH(int, language);
        QFETCH(QString, quit);
        QFETCH(QString, sentence);
        QFETCH(QString, reason);
        Installed installed(language);
        const QByteArray table = Bytes(installed.Shipped("translate.dbf"));
        Home home;
        home.MakeReadOnly();
        {
            Window w(installed.Bin());
            QCOMPARE(w.information, QStringList{sentence + "\n" + Home::DataFolder() + "\n\n" + reason});
            QCOMPARE(w.form->Language().Table.Path(), installed.Shipped("translate.dbf"));
            QVERIFY(w.form->Language().Table.ReadOnly());
            QCOMPARE(WithoutMnemonic(w.Item("quitAction")->text()), quit);
            QVERIFY(w.Item(language == LanguageGerman ? "germanAction" : "italianAction")->isChecked());
            QCOMPARE(w.Item("inchLabelsAction")->isChecked(), language != LanguageGerman);

            // A choice that cannot be kept is said so, in one language, and no restart is asked for.
            w.Item("englishAction")->trigger();
            QCOMPARE(w.errors,
                     QStringList{EnglishNotKept + "\n" + Home::DataFolder() + "\n\n" + EnglishNoPermission});
            QCOMPARE(w.information.size(), 1);
        }
        QCOMPARE(Bytes(installed.Shipped("translate.dbf")), table);
        QCOMPARE(ReadOptionsFile(installed.Shipped("options.dat")), language);
        QVERIFY(QDir(home.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // Before, the system's texts appeared ("Permission denied", or Qt's German "Die
    // existierende Datei ... ist nicht schreibbar" under an English sentence).
    void fileErrorsSayWhyInTheProgramsLanguage()
    {
        SKIP_AS_ROOT();
        Home home;
        QTemporaryDir folder;
        WriteOptionsFile(folder.filePath("options.dat"), LanguageGerman); // Qt's own texts are German
        QFile::copy(QStringLiteral(BUILT_TABLE), folder.filePath("translate.dbf"));
        Window w(folder.path());
        const QString locked = folder.filePath("schreibgeschuetzt.vlm");
        QFile::copy(QStringLiteral(TEST_DATA_DIR "/full.vlm"), locked);
        QFile::setPermissions(locked, QFileDevice::ReadOwner);
        QTemporaryDir closed;
        QFile::setPermissions(closed.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QString inClosed = closed.filePath("neu.vlm");

        w.savePath = locked;
        w.Item("saveAsAction")->trigger();
        QCOMPARE(w.LastError(), "Die Zeichnung konnte nicht gespeichert werden:\n" + locked +
                                    "\n\nDafür fehlt Ihnen die Berechtigung.");

        // Messages follow a new choice at once; Qt's texts stay those of the start.
        w.Item("englishAction")->trigger();
        QCOMPARE(w.information, QStringList{"Please close the program and start it again!"});
        for (const QString &path : {locked, inClosed}) {
            w.savePath = path;
            w.Item("saveAsAction")->trigger();
            QCOMPARE(w.LastError(), "The drawing could not be saved:\n" + path + "\n\n" + EnglishNoPermission);
        }
        w.openPath = folder.filePath("fehlt.vlm");
        w.Item("openAction")->trigger();
        QCOMPARE(w.LastError(),
                 "The file cannot be opened:\n" + w.openPath + "\n\nThe file or its folder does not exist.");
        w.openPath = closed.path();
        w.Item("openAction")->trigger();
        QCOMPARE(w.LastError(), "The file cannot be opened:\n" + w.openPath + "\n\nThis is a folder, not a file.");
        QCOMPARE(w.errors.size(), 5);
        QFile::setPermissions(closed.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // Before, --help was English whatever the language; a wrong option too.
    void helpFollowsTheProgramsLanguage()
    {
        Installed installed(LanguageGerman);
        const QString program = installed.Bin() + "velmora";
        QVERIFY(QFile::copy(QStringLiteral(VELMORA), program));
        QTemporaryDir data;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", data.path());
        environment.remove("DISPLAY");
        // What the program writes on stdout, or for a wrong call on stderr.
        const auto run = [&](const QStringList &arguments, int exitCode) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(program, arguments);
            if (!process.waitForFinished(20000) || process.exitCode() != exitCode)
                return QString("exit %1: %2").arg(process.exitCode()).arg(QString(process.readAllStandardError()));
            return QString::fromUtf8(exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError());
        };

        // No copy of the user's yet: the shipped choice, German; and nothing is made for it.
        QVERIFY(run({"--help"}, 0).startsWith("Aufruf: velmora [ZEICHNUNG.vlm]\n\nVelmora zeichnet Schulgeometrie"));
        QVERIFY(QDir(data.path()).isEmpty());

        QDir(data.path()).mkpath("Velmora");
        const QString own = data.filePath("Velmora/options.dat");
        WriteOptionsFile(own, LanguageEnglish);
        QCOMPARE(run({"--help"}, 0), QStringLiteral("Usage: velmora [DRAWING.vlm]\n"
                                                    "\n"
                                                    "Velmora draws school geometry with a ruler, a protractor and a "
                                                    "compass on paper sheets.\n"
                                                    "Given a drawing, it opens that drawing at start.\n"
                                                    "Given a worksheet (PDF, PNG or JPEG), it opens a new drawing on its pages.\n"
                                                    "  --help      this text\n"
                                                    "  --version   the program's version\n"));
        WriteOptionsFile(own, LanguageItalian);
        QVERIFY(run({"-h"}, 0).startsWith("Uso: velmora [DISEGNO.vlm]\n"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        QVERIFY(run({"--frobnicate"}, 2).endsWith("velmora: opzione sconosciuta '--frobnicate'\n"
                                                  "Per maggiori informazioni: 'velmora --help'.\n"));
    }

    // Before, the README named velmora.conf while the program read velmora.ini.
    void recoveryIntervalFromTheSettingsFileTheReadmeNames()
    {
        const QString readme = QString::fromUtf8(Bytes(QStringLiteral(README_MD)));
        const QRegularExpressionMatch documented =
            QRegularExpression(QStringLiteral("`~/\\.config/Velmora/([^`]+)`")).match(readme);
        QVERIFY(documented.hasMatch());
        QVERIFY(readme.contains("`recovery/intervalSeconds` in the file below"));
        const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velmora/" + documented.captured(1);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[recovery]\nintervalSeconds=7\n");
        settings.close();
        QCOMPARE(UserSettings()->fileName(), file);
        QTemporaryDir folder;
        WriteOptionsFile(folder.filePath("options.dat"), LanguageGerman);
        Window w(folder.path());
        QCOMPARE(w.form->findChild<QTimer *>("recoveryTimer")->interval(), 7000);
    }

    // Sentences shown without passing a window: each has its English and Italian row.
    void reasonsAndColumnTitlesAreTranslated()
    {
        QHash<QString, QStringList> rows;
        for (const QString &line : QString::fromUtf8(Bytes(QStringLiteral(TRANSLATIONS_TSV))).split('\n')) {
            const QStringList cells = line.split('\t');
            if (cells.size() == 3 && !line.startsWith('#'))
                rows.insert(cells[0], cells.mid(1));
        }
        const QStringList texts = FileReasonSentences() + TTranslateForm::GermanColumnTitles();
        for (const QString &german : texts)
            QVERIFY2(rows.contains(german) && !rows[german][0].isEmpty() && !rows[german][1].isEmpty(),
                     qPrintable(german));
    }

    // Before, an upgrade never reached the user's copy of the table.
    void newerProgramCompletesTheUsersTableAtStart()
    {
        Installed installed(LanguageEnglish);
        Home home;
        QDir().mkpath(Home::DataFolder());
        const QString own = Home::DataFolder() + "/translate.dbf";
        {
            TranslateTable table; // an older version's copy, with a word of the user's
            QVERIFY(table.Open(own));
            table.AppendRecord({"Datei", "Dossier"});
        }
        WriteOptionsFile(Home::DataFolder() + "/options.dat", LanguageEnglish);
        Window w(installed.Bin());
        QCOMPARE(w.form->Language().Table.Path(), own);
        QCOMPARE(WithoutMnemonic(w.form->findChild<QMenu *>("fileMenu")->title()), QStringLiteral("Dossier"));
        QCOMPARE(WithoutMnemonic(w.Item("quitAction")->text()), QStringLiteral("Exit"));
        QVERIFY(w.information.isEmpty() && w.errors.isEmpty());
    }
};

int main(int argc, char *argv[])
{
    // The user's settings file, which Qt places once per process, in a folder of this run.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    TestLanguageFiles test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_language_files.moc"
