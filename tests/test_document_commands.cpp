// The file commands from the user's side: opening and saving real files, the question
// about unsaved changes, the caption, damaged files, and the numeric entry bar.
#include "support/file_helpers.h"
#include "support/window_fixture.h"

#include <QRegularExpression>
#include <QScrollArea>
#include <QtTest>

using namespace velmora;

namespace {

// A window whose dialogs the test answers.
struct Window : WindowFixture {
    void AddLine() { WindowFixture::AddLine(0, 0, 10, 10, 0); }
};

} // namespace

class TestDocumentCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void openRestoresEverythingTheFileHolds()
    {
        Window w;
        w->Menus().inchLabelsAction->trigger();
        w.openPath = Sample("full.vlm");
        w->Menus().openAction->trigger();
        QVERIFY(w.errors.isEmpty());
        QCOMPARE(w->Session().Drawing().Objects.Count, 4);
        QCOMPARE(w->Session().Drawing().Texts.Count, 1);
        QCOMPARE(w->SettingsBand().zoomEdit->value(), 150);
        QCOMPARE(w->SettingsBand().penWidthEdit->value(), 0.35);
        QCOMPARE(w->SettingsBand().colourSwatch->Colour(), 0x80402010u);
        QVERIFY(w->Menus().entryBarAction->isChecked());
        QVERIFY(w->Entries().isVisible());
        QVERIFY(!w->Menus().rulerShownAction->isChecked() && w->Menus().protractorShownAction->isChecked() && !w->Menus().compassShownAction->isChecked());
        QVERIFY(w->Menus().inchLabelsAction->isChecked()); // not in the file
        QCOMPARE(w->SettingsBand().eraserEdit->value(), 3.5);
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 3);
        QCOMPARE(w->Session().Document().PageWidthInch, 297 / MmPerInch);
        QVERIFY(!w->Session().IsModified());
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + Sample("full.vlm") + "]");
        QCOMPARE(w->Entries().rulerXEdit->value(), 10.0); // the entry bar shows the placement read

        // Saved again, the file is the same but for the texts' right and bottom edges,
        // which follow the measured text.
        w.savePath = w.Path("again.vlm");
        w->Menus().saveAsAction->trigger();
        QByteArray original = ReadAll(Sample("full.vlm")), saved = ReadAll(w.savePath);
        QCOMPARE(saved.size(), original.size());
        const int textRecord = 4 + 4 * 88 + 4;
        QVERIFY(saved.mid(textRecord + 16, 16) != original.mid(textRecord + 16, 16));
        saved.replace(textRecord + 16, 16, QByteArray(16, 0));
        original.replace(textRecord + 16, 16, QByteArray(16, 0));
        QCOMPARE(saved, original);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "]");
        w->SettingsBand().pageCountEdit->setValue(2);
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "*]");
    }

    void valuesOutsideTheControlsAreLimited()
    {
        Window w;
        w.openPath = Sample("out_of_range.vlm");
        w->Menus().openAction->trigger();
        QCOMPARE(w->SettingsBand().zoomEdit->value(), 300);
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 1);
        QCOMPARE(w->SettingsBand().penWidthEdit->value(), 100.0);
        QCOMPARE(w->SettingsBand().eraserEdit->value(), 0.01);
        QVERIFY(!w->Session().IsModified());
    }

    void olderFileKeepsEraserAndSheets()
    {
        Window w;
        w->SettingsBand().eraserEdit->setValue(5);
        w->SettingsBand().pageCountEdit->setValue(2);
        w->Session().Document().PageWidthInch = 4;
        w.answer = SessionPrompts::Answer::No; // the changes are discarded
        w.openPath = Sample("old_generation.vlm");
        w->Menus().openAction->trigger();
        QCOMPARE(w->SettingsBand().eraserEdit->value(), 5.0);
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 2);
        QCOMPARE(w->Session().Document().PageWidthInch, 4.0);
        QCOMPARE(w->SettingsBand().zoomEdit->value(), 50);
        QVERIFY(!w->Session().IsModified());
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
        w->Menus().saveAction->trigger();
        w.AddLine();
        w.answer = SessionPrompts::Answer::No;
        w.openPath = Sample(name);
        w->Menus().openAction->trigger();
        QCOMPARE(w.questions.size(), 1); // asked before discarding the changes
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].contains(w.openPath));
        if (name.startsWith("damaged_")) // says why
            QVERIFY2(w.errors[0].contains(QRegularExpression("\n\n\\w+ .+$")), qPrintable(w.errors[0]));
        QCOMPARE(w->Session().Drawing().Objects.Count, 2);
        QCOMPARE(w->Session().FileName(), w.savePath);
        QVERIFY(w->Session().IsModified());
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + w.savePath + "*]");
    }

    void questionPaths()
    {
        Window w;
        w->Menus().newAction->trigger(); // unchanged: no question
        QVERIFY(w.questions.isEmpty());

        w.AddLine();
        w.answer = SessionPrompts::Answer::Yes; // save first, but the save dialog is cancelled
        w->Menus().newAction->trigger();
        QCOMPARE(w.questions, QStringList{"Speichern: Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?"});
        QCOMPARE(w.saveDialogs, 1);
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        QVERIFY(w->Session().IsModified());

        w.answer = SessionPrompts::Answer::Cancel; // Exit, then Cancel: the program stays open
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);

        w.answer = SessionPrompts::Answer::Cancel; // Open, then Cancel: no open dialog at all
        w->Menus().openAction->trigger();
        QCOMPARE(w.openDialogs, 0);

        w.answer = SessionPrompts::Answer::No;
        w->Menus().newAction->trigger();
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        QVERIFY(!w->Session().IsModified());
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));

        w.AddLine();
        w.answer = SessionPrompts::Answer::Yes;
        w.savePath = w.Path("closing.vlm");
        QVERIFY(w->close()); // saved, then closed
        QCOMPARE(ReadAll(w.savePath).size(), 136 + 88);
    }

    void failedSaveKeepsTheMarkerAndSaysWhy()
    {
        Window w;
        w.AddLine();
        w.savePath = w.Path("missing-folder/drawing.vlm");
        w->Menus().saveAction->trigger();
        QCOMPARE(w.errors.size(), 1);
        QVERIFY(w.errors[0].startsWith("Die Zeichnung konnte nicht gespeichert werden:\n" + w.savePath));
        QVERIFY(w->Session().IsModified());

        // A failed save over an existing drawing leaves that file as it was (root may write
        // anywhere, so this part needs an ordinary user).
        if (getuid() == 0)
            return;
        const QString existing = w.Path("kept.vlm");
        QFile::copy(Sample("full.vlm"), existing);
        QFile::setPermissions(w.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        w.savePath = existing;
        w->Menus().saveAsAction->trigger();
        QFile::setPermissions(w.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(ReadAll(existing), ReadAll(Sample("full.vlm")));
        QCOMPARE(w.errors.size(), 2);
        QVERIFY(w->Session().IsModified());
    }

    void newKeepsTheSettings()
    {
        Window w;
        w->SettingsBand().zoomEdit->setValue(70);
        w->SettingsBand().pageCountEdit->setValue(3);
        w->Session().Document().Placement.RulerX = 42;
        w->Session().Document().PageHeightInch = 5;
        w.AddLine();
        w.answer = SessionPrompts::Answer::No;
        w->Menus().newAction->trigger();
        QCOMPARE(w->SettingsBand().zoomEdit->value(), 70);
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 3);
        QCOMPARE(w->Session().Document().Placement.RulerX, 42.0);
        QCOMPARE(w->Session().Document().PageHeightInch, 5.0);
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        QVERIFY(w->Session().FileName().isEmpty());
    }

    void entryBar()
    {
        Window w;
        QVERIFY(!w->Entries().isVisible());
        w->Menus().entryBarAction->trigger();
        QVERIFY(w->Entries().isVisible());
        // The panel of the rows is 121 pixels wide; the bar adds a scroll bar where the window is too low.
        const auto *rows = w->Entries().findChild<QScrollArea *>(QStringLiteral("entryRows"));
        QCOMPARE(rows->widget()->width(), 121);
        QCOMPARE(w->Entries().widgetForAction(w->Entries().actions().value(0)), rows);

        // The guard: writing the edits from the state does not write them back.
        w->Session().Document().Placement.RulerX = 33.337;
        w->Session().Document().Placement.RulerY = -5;
        w->ShowPlacement();
        QCOMPARE(w->Entries().rulerXEdit->text(), QStringLiteral("33,34"));
        QCOMPARE(w->Session().Document().Placement.RulerX, 33.337);

        // Typing moves the instrument at once; a text that is no number counts as 0.
        QLineEdit *span = w->Entries().compassSpanEdit->findChild<QLineEdit *>();
        span->setText("12,5");
        QCOMPARE(w->Session().Document().Placement.CompassSpan, 12.5);
        span->clear();
        QCOMPARE(w->Session().Document().Placement.CompassSpan, 0.0);
        w->Entries().rulerYEdit->findChild<QLineEdit *>()->setText("-7");
        QCOMPARE(w->Session().Document().Placement.RulerY, -7.0);
        w->Entries().protractorAngleEdit->findChild<QLineEdit *>()->setText("45");
        QCOMPARE(w->Session().Document().Placement.ProtractorAngle, 45.0);
        QCOMPARE(w->Entries().protractorAngleEdit->findChild<QLineEdit *>()->text(), QStringLiteral("45")); // not rewritten while typed
        QVERIFY(!w->Session().IsModified()); // placing instruments is no change of the drawing

        w->Menus().entryBarAction->trigger();
        QVERIFY(!w->Entries().isVisible());
        QCOMPARE(w->Session().Document().Placement.RulerY, -7.0);
    }
};

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"
