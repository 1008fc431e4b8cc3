// Drawings that reach the window from outside its Open dialog, and the user's files around
// them: the command line's options, a drop on the window, the recent drawings in "Datei",
// recovery copies, and the first start of an installed program. The user's folders are
// scratch folders (XDG_DATA_HOME, XDG_CONFIG_HOME set by CTest).
#include "support/dialog_answers.h"
#include "support/file_drop.h"
#include "support/file_helpers.h"
#include "support/window_fixture.h"

#include "document/drawing_file.h"
#include "session/user_settings.h"

#include <QMimeData>
#include <QProcess>
#include <QtTest>

using namespace velmora;

namespace {

// A German window in a program folder of its own; its message boxes are real.
struct Window : WindowFixture {
    Window() : WindowFixture(WindowOptions().WithRealDialogs()) { QVERIFY(WaitExposed()); }
    QString Copy(const QString &sample, const QString &name) const
    {
        const QString path = dir.filePath(name);
        QFile::copy(Sample(sample), path);
        return path;
    }
    // A real change: the sheet count's edit stepped up by a key.
    void Change()
    {
        form->SettingsBand().pageCountEdit->setFocus();
        QTest::keyClick(form->SettingsBand().pageCountEdit, Qt::Key_Up);
    }
    bool Starred() const { return form->windowTitle().endsWith(QStringLiteral("*]")); }
    QStringList RecentTexts() const
    {
        QStringList texts;
        for (QAction *item : form->Menus().fileMenu->actions())
            if (item->objectName().startsWith(QStringLiteral("recentAction")) && item->isVisible())
                texts << item->text();
        return texts;
    }
};

// Presses the recovery question's button of that text, and the question that follows with `then`.
void AnswerRecovery(const QString &button, QString *text = nullptr,
                    QMessageBox::StandardButton then = QMessageBox::NoButton)
{
    Answer<QMessageBox>([button, text, then](QMessageBox *box) {
        if (text)
            *text = box->text();
        for (QAbstractButton *each : box->buttons())
            if (each->text().remove('&') == button) {
                if (then != QMessageBox::NoButton)
                    AnswerBox(then);
                each->click();
                return;
            }
        QFAIL(qPrintable("no button " + button));
    });
}

} // namespace

class TestOutside : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        UserSettings()->clear();
        QDir(RecoveryStore::DefaultFolder()).removeRecursively();
    }

    void commandLineOptions()
    {
        QProcess program;
        program.start(QStringLiteral(VELMORA), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(program.readAllStandardOutput(), QByteArray("velmora 1.0\n"));

        // No display is needed for either: they answer before any window exists.
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        noDisplay.remove(QStringLiteral("DISPLAY"));
        noDisplay.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(noDisplay);
        program.start(QStringLiteral(VELMORA), {QStringLiteral("--help")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        // In the build folder's language, German.
        QVERIFY(program.readAllStandardOutput().startsWith("Aufruf: velmora [ZEICHNUNG.vlm]\n"));

        program.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        for (const QStringList &wrong : {QStringList{QStringLiteral("--frobnicate")},
                                         QStringList{Sample("full.vlm"), Sample("empty_drawing.vlm")}}) {
            program.start(QStringLiteral(VELMORA), wrong);
            QVERIFY(program.waitForFinished(10000));
            QCOMPARE(program.exitCode(), 2);
            QVERIFY(program.readAllStandardError().contains("\n„velmora --help“ liefert weitere Informationen."));
        }
    }

    void openFromOutsideTakesTheOpenPath()
    {
        Window w;
        const QString full = w.Copy("full.vlm", "full.vlm");
        w->OpenFromOutside(full);
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [%1]").arg(full));
        QVERIFY(w->Session().Drawing().Objects.Count > 0);

        // A changed drawing: the usual question first; Cancel keeps it.
        w.Change();
        const int sheets = w->SettingsBand().pageCountEdit->value();
        QString asked;
        AnswerBox(QMessageBox::Cancel, &asked);
        w->OpenFromOutside(w.Copy("empty_drawing.vlm", "empty.vlm"));
        QCOMPARE(asked, w->Translation().ProgramMessage(Message::SaveChangesQuestion));
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), sheets);
        QVERIFY(w.Starred());

        // A damaged or missing file: the usual message, and the drawing stays.
        AnswerBox(QMessageBox::No); // the changes go
        w->Menus().newAction->trigger();
        for (const QString &bad : {w.Copy("damaged_count_huge.vlm", "bad.vlm"), w.dir.filePath("missing.vlm")}) {
            QString said;
            AnswerBox(QMessageBox::Ok, &said);
            w->OpenFromOutside(bad);
            QVERIFY2(said.contains(bad), qPrintable(said));
            QCOMPARE(w->Session().Drawing().Objects.Count, 0);
            QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));
        }
    }

    void dropOpensAfterTheQuestion()
    {
        Window w;
        bool accepted = false;
        Drop(w.form.get(), w.Copy("full.vlm", "notes.txt"), &accepted);
        QVERIFY(!accepted); // only drawings and worksheets are taken

        w.Change();
        const QString full = w.Copy("full.vlm", "Dreieck.VLM");
        QString asked;
        AnswerBox(QMessageBox::No, &asked);
        Drop(w->Surface().paintBox, full, &accepted); // on the sheet: the window takes it
        QVERIFY(accepted);
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [%1]").arg(full));
        QCOMPARE(asked, w->Translation().ProgramMessage(Message::SaveChangesQuestion));
        QVERIFY(w->Session().Drawing().Objects.Count > 0);
    }

    void recentDrawings()
    {
        Window w;
        const QString first = w.Copy("full.vlm", "eins.vlm"), second = w.Copy("old_generation.vlm", "zwei.vlm");
        QVERIFY(w.RecentTexts().isEmpty());
        QVERIFY(w->Session().Files.OpenFile(first));
        QVERIFY(w->Session().Files.OpenFile(second));
        w.AnswerDialogs();
        w.savePath = w.dir.filePath("drei & vier.vlm");
        QVERIFY(w->Session().Files.SaveAs());
        w.UseRealDialogs();
        const QString third = w->Session().FileName();
        QCOMPARE(RecentDrawings(), (QStringList{third, second, first}));
        QCOMPARE(w.RecentTexts(),
                 (QStringList{"&1 " + QString(third).replace("&", "&&"), "&2 " + second, "&3 " + first}));
        // Kept in the user's config folder, not in options.dat.
        QVERIFY(ReadAll(UserSettings()->fileName()).contains("eins.vlm"));
        QCOMPARE(ReadAll(w.dir.filePath("options.dat")), QByteArray(4, '\0'));

        // Alt+3 opens the oldest one and moves it to the front.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        QTest::keyClick(w.form.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_COMPARE(w->Session().FileName(), first);
        QCOMPARE(RecentDrawings().first(), first);

        // A file that is gone is dropped from the list with a message.
        QFile::remove(second);
        QString said;
        AnswerBox(QMessageBox::Ok, &said);
        QTest::keyClick(w.form.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(said.contains(second));
        QTRY_COMPARE(w.RecentTexts().size(), 2);
        QCOMPARE(RecentDrawings(), (QStringList{first, third}));
        QCOMPARE(w->Session().FileName(), first); // the drawing shown stays

        // Never more than eight.
        for (int i = 0; i < 10; ++i)
            AddRecentDrawing(w.dir.filePath(QStringLiteral("n%1.vlm").arg(i)));
        w->ShowRecentDrawings();
        QCOMPARE(w.RecentTexts().size(), RecentLimit);
        QVERIFY(w.RecentTexts().first().endsWith(QStringLiteral("n9.vlm")));
    }

    // A damaged drawing is refused with its reason in the program's language, in a message
    // over the window that asked. A stored sheet 1e300 inches wide is such damage (before, it
    // kept the window busy for minutes) and stays out of the recent drawings.
    void damagedDrawingSaysWhyOverTheWindow()
    {
        QTemporaryDir files;
        const QString path = files.filePath("riesig.vlm");
        DrawingFileSettings huge;
        huge.PageWidthInch = 1e300;
        WriteAll(path, WriteDrawingFile(DrawingState(), huge));
        const struct {
            int language;
            QString text;
        } runs[] = {{LanguageGerman, "Die Datei ist beschädigt oder keine Zeichnung; die bisherige Zeichnung bleibt:\n" +
                                         path + "\n\ndie Blattgröße liegt nicht zwischen 0,1 und 5080 mm"},
                    {LanguageItalian, "Il file è danneggiato o non è un disegno; il disegno attuale resta:\n" + path +
                                          "\n\nle dimensioni del foglio non sono tra 0,1 e 5080 mm"}};
        for (const auto &run : runs) {
            QTemporaryDir program;
            QVERIFY(QFile::copy(QStringLiteral(BUILT_TABLE), program.filePath("translate.dbf")));
            WindowFixture w(WindowOptions().InLanguage(run.language).InFolder(program.path()).WithRealDialogs());
            QVERIFY(w.WaitExposed());
            QWidget *over = nullptr;
            bool modal = false;
            QString text;
            Answer<QMessageBox>([&](QMessageBox *box) {
                over = box->parentWidget();
                modal = box->isModal();
                text = box->text();
                box->button(QMessageBox::Ok)->click();
            });
            w->OpenFromOutside(path);
            QTRY_VERIFY(!text.isEmpty());
            QCOMPARE(text, run.text);
            QCOMPARE(over, w.form.get());
            QVERIFY(modal);
            QVERIFY(w->Session().FileName().isEmpty());
            QCOMPARE(w->Session().Document().PageWidthInch, A4WidthInch);
            QVERIFY(!RecentDrawings().contains(path));
        }
    }

    // The program's window comes back where the last run closed it, as large as it was left;
    // at the first start it has its usual size.
    void windowKeepsItsPlaceBetweenRuns()
    {
        QTemporaryDir folder;
        WriteOptionsFile(folder.filePath("options.dat"), LanguageGerman);
        const auto run = [&](const std::function<void(TMainForm &)> &use) {
            TMainForm form(folder.path());
            form.KeepPlacementBetweenRuns();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            use(form);
            QVERIFY(form.close());
        };
        const QRect left(60, 70, 900, 640);
        run([&](TMainForm &form) {
            QCOMPARE(form.size(), QSize(780, 560));
            form.setGeometry(left);
        });
        QVERIFY(QFile::exists(QFileInfo(UserSettings()->fileName()).absoluteFilePath()));
        run([&](TMainForm &form) { QCOMPARE(form.geometry(), left); });
    }

    // Before, 2147484 seconds overflowed the timer (no copy was ever written) and 4294968 gave
    // a copy every second.
    void recoveryIntervalOutOfBoundsIsRefused()
    {
        const auto interval = [](Window &&w) { return w->findChild<QTimer *>("recoveryTimer")->interval(); };
        for (const char *value : {"2147484", "4294968", "0", "-5", "zwei", "86401"}) {
            qputenv("VELMORA_RECOVERY_SECONDS", value);
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("VELMORA_RECOVERY_SECONDS=%1 is refused: it must be "
                                                                       "a whole number of seconds from 1 to 86400").arg(value)));
            QCOMPARE(interval(Window()), 120000);
        }
        qputenv("VELMORA_RECOVERY_SECONDS", "86400");
        QCOMPARE(interval(Window()), 86400000);
        qunsetenv("VELMORA_RECOVERY_SECONDS");
        UserSettings()->setValue("recovery/intervalSeconds", 4294968);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^recovery/intervalSeconds=4294968 in .*/Velmora/velmora[.]ini is refused"));
        QCOMPARE(interval(Window()), 120000);
        UserSettings()->setValue("recovery/intervalSeconds", 30);
        QCOMPARE(interval(Window()), 30000);
        UserSettings()->remove("recovery/intervalSeconds");
    }

    void recoveryCopyFollowsTheChanges()
    {
        qputenv("VELMORA_RECOVERY_SECONDS", "1");
        Window w;
        qunsetenv("VELMORA_RECOVERY_SECONDS");
        QCOMPARE(w->findChild<QTimer *>("recoveryTimer")->interval(), 1000);
        const QString own = w.Copy("full.vlm", "own.vlm");
        const QByteArray ownBytes = ReadAll(own);
        QVERIFY(w->Session().Files.OpenFile(own));
        const QString copy = w->Session().Recovery.Store().CopyPath();
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(copy)); // nothing changed, nothing written

        w.Change();
        const QString caption = w->windowTitle();
        QTRY_VERIFY(QFile::exists(copy));
        QCOMPARE(ReadAll(copy), WriteDrawingFile(w->Session().Drawing(), w->Session().FileSettings()));
        QCOMPARE(ReadAll(copy.chopped(4) + ".name"), own.toUtf8());
        QCOMPARE(ReadAll(own), ownBytes);        // the drawing's own file is not touched
        QCOMPARE(w->windowTitle(), caption);   // nor the caption

        w->Menus().saveAction->trigger(); // saved: the copy goes
        QVERIFY(!QFile::exists(copy));
        QVERIFY(!QFile::exists(copy.chopped(4) + ".lock"));

        // New, answered "Nein", discards the changes and the copy.
        w.Change();
        QTRY_VERIFY(QFile::exists(copy));
        AnswerBox(QMessageBox::No);
        w->Menus().newAction->trigger();
        QVERIFY(!QFile::exists(copy));
        QVERIFY(QDir(RecoveryStore::DefaultFolder()).entryList(QDir::Files).isEmpty());
    }

    void leftCopyIsOffered()
    {
        // What a killed program leaves: a copy and its name, with no living lock holder.
        const QString folder = RecoveryStore::DefaultFolder();
        QDir().mkpath(folder);
        QFile::copy(Sample("full.vlm"), folder + "/drawing-1-1.vlm");
        const QString own = QDir::temp().filePath("Aufgabe 3.vlm");
        const auto writeName = [&] {
            QFile name(folder + "/drawing-1-1.name");
            QVERIFY(name.open(QIODevice::WriteOnly));
            name.write(own.toUtf8());
        };
        writeName();

        // "Verwerfen": the copy is newer than its drawing (which is gone), so asked once more.
        for (const auto confirm : {QMessageBox::No, QMessageBox::Yes}) {
            Window w;
            QString asked;
            AnswerRecovery("Verwerfen", &asked, confirm);
            w->Session().Recovery.Offer();
            QVERIFY2(asked.contains(own), qPrintable(asked));
            QCOMPARE(w->Session().Drawing().Objects.Count, 0);
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), confirm == QMessageBox::No ? 2 : 0);
        }

        QFile::copy(Sample("full.vlm"), folder + "/drawing-1-1.vlm");
        writeName();
        Window w;
        AnswerRecovery("Wiederherstellen");
        w->Session().Recovery.Offer();
        QCOMPARE(w->Session().FileName(), own);
        QVERIFY(w.Starred());
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [%1*]").arg(own));
        // Taken over at once by this run's own copy, written by the same writer.
        QVERIFY(!QFile::exists(folder + "/drawing-1-1.vlm"));
        QCOMPARE(ReadAll(w->Session().Recovery.Store().CopyPath()), ReadAll(Sample("full.vlm")));
        // Undo of a later change does not make the restored drawing "saved".
        w.Change();
        w->Menus().undoAction->trigger();
        QVERIFY(w.Starred());
    }

    void installedProgramUsesTheUsersCopies()
    {
        // bin/ and share/velmora/ as cmake --install lays them out.
        QTemporaryDir prefix;
        QDir(prefix.path()).mkpath("bin");
        QDir(prefix.path()).mkpath("share/velmora");
        QVERIFY(WriteOptionsFile(prefix.filePath("share/velmora/options.dat"), LanguageGerman).Ok());
        QVERIFY(QFile::copy(QStringLiteral(BUILT_TABLE), prefix.filePath("share/velmora/translate.dbf")));
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QFile::remove(user + "/options.dat");
        QFile::remove(user + "/translate.dbf");
        {
            TMainForm form(prefix.filePath("bin"));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QVERIFY(form.Menus().germanAction->isChecked()); // the shipped choice: German
            QCOMPARE(form.Menus().fileMenu->title().remove('&'), QStringLiteral("Datei"));
            QCOMPARE(form.Language().OptionsPath(), user + "/options.dat");
            QCOMPARE(form.Translation().Table().Path(), user + "/translate.dbf");
            // The user's own choice goes to the user's copy.
            AnsweringPrompts quiet; // the request to start again
            form.Session().SetPrompts(quiet);
            form.Menus().englishAction->trigger();
        }
        QCOMPARE(ReadOptionsFile(user + "/options.dat"), LanguageEnglish);
        QCOMPARE(ReadOptionsFile(prefix.filePath("share/velmora/options.dat")), LanguageGerman);
        QCOMPARE(ReadAll(prefix.filePath("share/velmora/translate.dbf")), ReadAll(QStringLiteral(BUILT_TABLE)));
        QVERIFY(QDir(prefix.filePath("bin")).isEmpty());
    }
};

QTEST_MAIN(TestOutside)
#include "test_outside.moc"
