// Drawings that reach the window from outside its Open dialog, and the user's files around
// them: the command line's options, a drop on the window, the recent drawings in "Datei",
// recovery copies, and the first start of an installed program. The user's folders are
// scratch folders (XDG_DATA_HOME, XDG_CONFIG_HOME set by CTest).
#include "app/main_form.h"
#include "main_form_probe.h"
#include "app/user_settings.h"
#include "i18n/options_file.h"

#include <QMimeData>
#include <QProcess>
#include <QtTest>

using namespace velmora;

namespace {

QString Sample(const QString &name)
{
    return QStringLiteral(TEST_DATA_DIR "/") + name;
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `answer` on the next message box, while the code under test waits in its exec().
void AnswerBox(QMessageBox::StandardButton button, QString *text = nullptr)
{
    auto *poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, button, text] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!box)
            return;
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
    poll->start(10);
}

// A German window in a program folder of its own; its message boxes are real.
struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    Window()
    {
        WriteOptionsFile(dir.filePath("options.dat"), LanguageGerman);
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    ~Window()
    {
        form->State.Modified = false;
    }
    TMainForm *operator->() { return form.get(); }
    QString Copy(const QString &sample, const QString &name) const
    {
        const QString path = dir.filePath(name);
        QFile::copy(Sample(sample), path);
        return path;
    }
    // A real change: the sheet count's edit stepped up by a key.
    void Change()
    {
        Probe(form).PageAnz->setFocus();
        QTest::keyClick(Probe(form).PageAnz, Qt::Key_Up);
    }
    bool Starred() const { return form->windowTitle().endsWith(QStringLiteral("*]")); }
    QStringList RecentTexts() const
    {
        QStringList texts;
        for (QAction *item : Probe(form).Datei1->actions())
            if (item->objectName().startsWith(QStringLiteral("Recent")) && item->isVisible())
                texts << item->text();
        return texts;
    }
};

void Drop(QWidget *target, const QString &path, bool *accepted)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    *accepted = enter.isAccepted();
    if (!*accepted)
        return;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
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
        QVERIFY(w->State.Objects.Count > 0);

        // A changed drawing: the usual question first; Cancel keeps it.
        w.Change();
        const int sheets = Probe(w).PageAnz->value();
        QString asked;
        AnswerBox(QMessageBox::Cancel, &asked);
        w->OpenFromOutside(w.Copy("empty_drawing.vlm", "empty.vlm"));
        QCOMPARE(asked, w->Translation.ProgramMessage(Message::SaveChangesQuestion));
        QCOMPARE(Probe(w).PageAnz->value(), sheets);
        QVERIFY(w.Starred());

        // A damaged or missing file: the usual message, and the drawing stays.
        w.form->State.Modified = false;
        w->NewAll();
        for (const QString &bad : {w.Copy("damaged_count_huge.vlm", "bad.vlm"), w.dir.filePath("missing.vlm")}) {
            QString said;
            AnswerBox(QMessageBox::Ok, &said);
            w->OpenFromOutside(bad);
            QVERIFY2(said.contains(bad), qPrintable(said));
            QCOMPARE(w->State.Objects.Count, 0);
            QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));
        }
    }

    void dropOpensAfterTheQuestion()
    {
        Window w;
        bool accepted = false;
        Drop(w.form.get(), w.Copy("full.vlm", "picture.png"), &accepted);
        QVERIFY(!accepted); // only drawings are taken

        w.Change();
        const QString full = w.Copy("full.vlm", "Dreieck.VLM");
        QString asked;
        AnswerBox(QMessageBox::No, &asked);
        Drop(Probe(w).PaintBox1, full, &accepted); // on the sheet: the window takes it
        QVERIFY(accepted);
        QTRY_COMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [%1]").arg(full));
        QCOMPARE(asked, w->Translation.ProgramMessage(Message::SaveChangesQuestion));
        QVERIFY(w->State.Objects.Count > 0);
    }

    void recentDrawings()
    {
        Window w;
        const QString first = w.Copy("full.vlm", "eins.vlm"), second = w.Copy("old_generation.vlm", "zwei.vlm");
        QVERIFY(w.RecentTexts().isEmpty());
        QVERIFY(w->OpenFile(first));
        QVERIFY(w->OpenFile(second));
        w->State.FileName = w.dir.filePath("drei & vier.vlm");
        QVERIFY(w->SaveTheFile());
        const QString third = w->State.FileName;
        QCOMPARE(RecentDrawings(), (QStringList{third, second, first}));
        QCOMPARE(w.RecentTexts(),
                 (QStringList{"&1 " + QString(third).replace("&", "&&"), "&2 " + second, "&3 " + first}));
        // Kept in the user's config folder, not in options.dat.
        QVERIFY(Bytes(UserSettings()->fileName()).contains("eins.vlm"));
        QCOMPARE(Bytes(w.dir.filePath("options.dat")), QByteArray(4, '\0'));

        // Alt+3 opens the oldest one and moves it to the front.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        QTest::keyClick(w.form.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_COMPARE(w->State.FileName, first);
        QCOMPARE(RecentDrawings().first(), first);

        // A file that is gone is dropped from the list with a message.
        QFile::remove(second);
        QString said;
        AnswerBox(QMessageBox::Ok, &said);
        QTest::keyClick(w.form.get(), Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(said.contains(second));
        QTRY_COMPARE(w.RecentTexts().size(), 2);
        QCOMPARE(RecentDrawings(), (QStringList{first, third}));
        QCOMPARE(w->State.FileName, first); // the drawing shown stays

        // Never more than eight.
        for (int i = 0; i < 10; ++i)
            AddRecentDrawing(w.dir.filePath(QStringLiteral("n%1.vlm").arg(i)));
        w->UpdateRecentItems();
        QCOMPARE(w.RecentTexts().size(), RecentLimit);
        QVERIFY(w.RecentTexts().first().endsWith(QStringLiteral("n9.vlm")));
    }

    // Before, 2147484 seconds overflowed the timer (no copy was ever written) and 4294968 gave
    // a copy every second.
    void recoveryIntervalOutOfBoundsIsRefused()
    {
        for (const char *value : {"2147484", "4294968", "0", "-5", "zwei", "86401"}) {
            qputenv("VELMORA_RECOVERY_SECONDS", value);
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("VELMORA_RECOVERY_SECONDS=%1 is refused: it must be "
                                                                       "a whole number of seconds from 1 to 86400").arg(value)));
            Window w;
            QCOMPARE(w->RecoveryTimer.interval(), 120000);
        }
        qputenv("VELMORA_RECOVERY_SECONDS", "86400");
        QCOMPARE(Window()->RecoveryTimer.interval(), 86400000);
        qunsetenv("VELMORA_RECOVERY_SECONDS");
        UserSettings()->setValue("recovery/intervalSeconds", 4294968);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^recovery/intervalSeconds=4294968 in .*/Velmora/velmora[.]ini is refused"));
        QCOMPARE(Window()->RecoveryTimer.interval(), 120000);
        UserSettings()->setValue("recovery/intervalSeconds", 30);
        QCOMPARE(Window()->RecoveryTimer.interval(), 30000);
        UserSettings()->remove("recovery/intervalSeconds");
    }

    void recoveryCopyFollowsTheChanges()
    {
        qputenv("VELMORA_RECOVERY_SECONDS", "1");
        Window w;
        qunsetenv("VELMORA_RECOVERY_SECONDS");
        QCOMPARE(w->RecoveryTimer.interval(), 1000);
        const QString own = w.Copy("full.vlm", "own.vlm");
        const QByteArray ownBytes = Bytes(own);
        QVERIFY(w->OpenFile(own));
        const QString copy = w->Recovery.CopyPath();
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(copy)); // nothing changed, nothing written

        w.Change();
        const QString caption = w->windowTitle();
        QTRY_VERIFY(QFile::exists(copy));
        QCOMPARE(Bytes(copy), WriteDrawingFile(w->State, w->CurrentFileSettings()));
        QCOMPARE(Bytes(copy.chopped(4) + ".name"), own.toUtf8());
        QCOMPARE(Bytes(own), ownBytes);        // the drawing's own file is not touched
        QCOMPARE(w->windowTitle(), caption);   // nor the caption

        Probe(w).Speichern1->trigger(); // saved: the copy goes
        QVERIFY(!QFile::exists(copy));
        QVERIFY(!QFile::exists(copy.chopped(4) + ".lock"));

        // New, answered "Nein", discards the changes and the copy.
        w.Change();
        QTRY_VERIFY(QFile::exists(copy));
        AnswerBox(QMessageBox::No);
        Probe(w).Neu1->trigger();
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

        {
            Window w; // declined: the copy is gone for good
            QString asked;
            AnswerBox(QMessageBox::No, &asked);
            w->OfferRecovery();
            QVERIFY2(asked.contains(own), qPrintable(asked));
            QCOMPARE(w->State.Objects.Count, 0);
            QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
        }

        QFile::copy(Sample("full.vlm"), folder + "/drawing-1-1.vlm");
        writeName();
        Window w;
        AnswerBox(QMessageBox::Yes);
        w->OfferRecovery();
        QCOMPARE(w->State.FileName, own);
        QVERIFY(w.Starred());
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [%1*]").arg(own));
        // Taken over at once by this run's own copy, written by the same writer.
        QVERIFY(!QFile::exists(folder + "/drawing-1-1.vlm"));
        QCOMPARE(Bytes(w->Recovery.CopyPath()), Bytes(Sample("full.vlm")));
        // Undo of a later change does not make the restored drawing "saved".
        w.Change();
        Probe(w).Rueckgaengig1->trigger();
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
            QVERIFY(Probe(form).SpracheDeutsch1->isChecked()); // the shipped choice: German
            QCOMPARE(Probe(form).Datei1->title().remove('&'), QStringLiteral("Datei"));
            QCOMPARE(form.OptionsPath(), user + "/options.dat");
            QCOMPARE(form.translate.Path(), user + "/translate.dbf");
            // The user's own choice goes to the user's copy.
            form.ShowInformation = [](const QString &, const QString &) {};
            Probe(form).SpracheEnglish1->trigger();
        }
        QCOMPARE(ReadOptionsFile(user + "/options.dat"), LanguageEnglish);
        QCOMPARE(ReadOptionsFile(prefix.filePath("share/velmora/options.dat")), LanguageGerman);
        QCOMPARE(Bytes(prefix.filePath("share/velmora/translate.dbf")), Bytes(QStringLiteral(BUILT_TABLE)));
        QVERIFY(QDir(prefix.filePath("bin")).isEmpty());
    }
};

QTEST_MAIN(TestOutside)
#include "test_outside.moc"
