// The file commands from the user's side: opening and saving real files, the question
// about unsaved changes, the caption, damaged files, and the numeric entry bar.
#include "support/drawing_builder.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "i18n/options_file.h"

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
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A window in a program folder of its own, German, whose dialogs the test answers.
struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    QStringList errors, questions;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QString openPath, savePath;
    int saveDialogs = 0, openDialogs = 0;

    Window()
    {
        WriteOptionsFile(dir.filePath("options.dat"), LanguageGerman);
        form = std::make_unique<TMainForm>(dir.path());
        form->ShowError = [this](const QString &text) { errors << text; };
        form->AskYesNoCancel = [this](const QString &text, const QString &caption) {
            questions << caption + ": " + text;
            return answer;
        };
        form->AskOpenFileName = [this](const FileDialogFilter &) {
            ++openDialogs;
            return openPath;
        };
        form->AskSaveFileName = [this](const FileDialogFilter &) {
            ++saveDialogs;
            return savePath;
        };
        form->show();
    }
    ~Window() { form->State.Modified = false; } // no question when the window goes
    TMainForm &operator*() { return *form; }
    TMainForm *operator->() { return form.get(); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    void AddLine()
    {
        DrawingBuilder(form->State).Line(0, 0, 10, 10, 0);
        form->SetChanged();
    }
};

} // namespace

class TestDocumentCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void openRestoresEverythingTheFileHolds()
    {
        Window w;
        Probe(w).AnsichtZollAngabenfrdasLineal1->setChecked(true);
        w.openPath = Sample("full.vlm");
        Probe(w).ffnen1->trigger();
        QVERIFY(w.errors.isEmpty());
        QCOMPARE(w->State.Objects.Count, 4);
        QCOMPARE(w->State.Texts.Count, 1);
        QCOMPARE(Probe(w).zoomed->value(), 150);
        QCOMPARE(Probe(w).StrichEd->value(), 0.35);
        QCOMPARE(Probe(w).Shape1->Colour(), 0x80402010u);
        QVERIFY(Probe(w).LeistefrZahleneingabe1->isChecked());
        QVERIFY(Probe(w).Panel2->isVisible());
        QVERIFY(!Probe(w).Lineal2->isChecked() && Probe(w).Winkelmesser2->isChecked() && !Probe(w).Zirkel2->isChecked());
        QVERIFY(Probe(w).AnsichtZollAngabenfrdasLineal1->isChecked()); // not in the file
        QCOMPARE(Probe(w).RadierEd->value(), 3.5);
        QCOMPARE(Probe(w).PageAnz->value(), 3);
        QCOMPARE(w->State.PageWidthInch, 297 / MmPerInch);
        QVERIFY(!w->State.Modified);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + Sample("full.vlm") + "]");
        QCOMPARE(Probe(w).LinXEd->value(), 10.0); // the entry bar shows the placement read

        // Saved again, the file is the same but for the texts' right and bottom edges,
        // which follow the measured text.
        w.savePath = w.Path("again.vlm");
        Probe(w).Speichernunter1->trigger();
        QByteArray original = Bytes(Sample("full.vlm")), saved = Bytes(w.savePath);
        QCOMPARE(saved.size(), original.size());
        const int textRecord = 4 + 4 * 88 + 4;
        QVERIFY(saved.mid(textRecord + 16, 16) != original.mid(textRecord + 16, 16));
        saved.replace(textRecord + 16, 16, QByteArray(16, 0));
        original.replace(textRecord + 16, 16, QByteArray(16, 0));
        QCOMPARE(saved, original);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "]");
        Probe(w).PageAnz->setValue(2);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "*]");
    }

    void valuesOutsideTheControlsAreLimited()
    {
        Window w;
        w.openPath = Sample("out_of_range.vlm");
        Probe(w).ffnen1->trigger();
        QCOMPARE(Probe(w).zoomed->value(), 300);
        QCOMPARE(Probe(w).PageAnz->value(), 1);
        QCOMPARE(Probe(w).StrichEd->value(), 100.0);
        QCOMPARE(Probe(w).RadierEd->value(), 0.01);
        QVERIFY(!w->State.Modified);
    }

    void olderFileKeepsEraserAndSheets()
    {
        Window w;
        Probe(w).RadierEd->setValue(5);
        Probe(w).PageAnz->setValue(2);
        w->State.PageWidthInch = 4;
        w->State.Modified = false;
        w.openPath = Sample("old_generation.vlm");
        Probe(w).ffnen1->trigger();
        QCOMPARE(Probe(w).RadierEd->value(), 5.0);
        QCOMPARE(Probe(w).PageAnz->value(), 2);
        QCOMPARE(w->State.PageWidthInch, 4.0);
        QCOMPARE(Probe(w).zoomed->value(), 50);
        QVERIFY(!w->State.Modified);
    }

    void damagedFilesLeaveTheDrawingAlone_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"damaged_empty.vlm", "damaged_count_huge.vlm", "damaged_text_length_huge.vlm",
                                 "damaged_tail_truncated.vlm", "damaged_nan_coordinate.vlm", "no_such_file.vlm"})
            QTest::newRow(name) << name;
    }
    void damagedFilesLeaveTheDrawingAlone()
    {
        QFETCH(QString, name);
        Window w;
        w.savePath = w.Path("mine.vlm");
        w.AddLine();
        Probe(w).Speichern1->trigger();
        w.AddLine();
        w.answer = QMessageBox::No;
        w.openPath = Sample(name);
        Probe(w).ffnen1->trigger();
        QCOMPARE(w.questions.size(), 1); // asked before discarding the changes
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].contains(w.openPath));
        QCOMPARE(w->State.Objects.Count, 2);
        QCOMPARE(w->State.FileName, w.savePath);
        QVERIFY(w->State.Modified);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "*]");
    }

    void questionPaths()
    {
        Window w;
        Probe(w).Neu1->trigger(); // unchanged: no question
        QVERIFY(w.questions.isEmpty());

        w.AddLine();
        w.answer = QMessageBox::Yes; // save first, but the save dialog is cancelled
        Probe(w).Neu1->trigger();
        QCOMPARE(w.questions, QStringList{"Speichern: Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?"});
        QCOMPARE(w.saveDialogs, 1);
        QCOMPARE(w->State.Objects.Count, 1);
        QVERIFY(w->State.Modified);

        w.answer = QMessageBox::Cancel; // Exit, then Cancel: the program stays open
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->State.Objects.Count, 1);

        w.answer = QMessageBox::Cancel; // Open, then Cancel: no open dialog at all
        Probe(w).ffnen1->trigger();
        QCOMPARE(w.openDialogs, 0);

        w.answer = QMessageBox::No;
        Probe(w).Neu1->trigger();
        QCOMPARE(w->State.Objects.Count, 0);
        QVERIFY(!w->State.Modified);
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));

        w.AddLine();
        w.answer = QMessageBox::Yes;
        w.savePath = w.Path("closing.vlm");
        QVERIFY(w->close()); // saved, then closed
        QCOMPARE(Bytes(w.savePath).size(), 136 + 88);
    }

    void failedSaveKeepsTheMarkerAndSaysWhy()
    {
        Window w;
        w.AddLine();
        w.savePath = w.Path("missing-folder/drawing.vlm");
        Probe(w).Speichern1->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Die Zeichnung konnte nicht gespeichert werden:\n" + w.savePath));
        QVERIFY(w->State.Modified);

        // A failed save over an existing drawing leaves that file as it was (root may write
        // anywhere, so this part needs an ordinary user).
        if (getuid() == 0)
            return;
        const QString existing = w.Path("kept.vlm");
        QFile::copy(Sample("full.vlm"), existing);
        QFile::setPermissions(w.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        w.savePath = existing;
        Probe(w).Speichernunter1->trigger();
        QFile::setPermissions(w.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(Bytes(existing), Bytes(Sample("full.vlm")));
        QCOMPARE(w.errors.size(), 2);
        QVERIFY(w->State.Modified);
    }

    void newKeepsTheSettings()
    {
        Window w;
        Probe(w).zoomed->setValue(70);
        Probe(w).PageAnz->setValue(3);
        w->State.Placement.RulerX = 42;
        w->State.PageHeightInch = 5;
        w.AddLine();
        w.answer = QMessageBox::No;
        Probe(w).Neu1->trigger();
        QCOMPARE(Probe(w).zoomed->value(), 70);
        QCOMPARE(Probe(w).PageAnz->value(), 3);
        QCOMPARE(w->State.Placement.RulerX, 42.0);
        QCOMPARE(w->State.PageHeightInch, 5.0);
        QCOMPARE(w->State.Objects.Count, 0);
        QVERIFY(w->State.FileName.isEmpty());
    }

    void entryBar()
    {
        Window w;
        QVERIFY(!Probe(w).Panel2->isVisible());
        Probe(w).LeistefrZahleneingabe1->trigger();
        QVERIFY(Probe(w).Panel2->isVisible());
        QCOMPARE(Probe(w).Panel2->widgetForAction(Probe(w).Panel2->actions().value(0))->width(), 121);

        // The guard: writing the edits from the state does not write them back.
        w->State.Placement.RulerX = 33.337;
        w->State.Placement.RulerY = -5;
        w->UpdateEds();
        QCOMPARE(Probe(w).LinXEd->text(), QStringLiteral("33,34"));
        QCOMPARE(w->State.Placement.RulerX, 33.337);

        // Typing moves the instrument at once; a text that is no number counts as 0.
        QLineEdit *span = Probe(w).ZirksEd->findChild<QLineEdit *>();
        span->setText("12,5");
        QCOMPARE(w->State.Placement.CompassSpan, 12.5);
        span->clear();
        QCOMPARE(w->State.Placement.CompassSpan, 0.0);
        Probe(w).Linyed->findChild<QLineEdit *>()->setText("-7");
        QCOMPARE(w->State.Placement.RulerY, -7.0);
        Probe(w).WinkWEd->findChild<QLineEdit *>()->setText("45");
        QCOMPARE(w->State.Placement.ProtractorAngle, 45.0);
        QCOMPARE(Probe(w).WinkWEd->findChild<QLineEdit *>()->text(), QStringLiteral("45")); // not rewritten while typed
        QVERIFY(!w->State.Modified); // placing instruments is no change of the drawing

        Probe(w).LeistefrZahleneingabe1->trigger();
        QVERIFY(!Probe(w).Panel2->isVisible());
        QCOMPARE(w->State.Placement.RulerY, -7.0);
    }
};

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"
