// The main window on the offscreen platform: its controls and defaults, the surface
// sizing after a page-count change, the status read-out and the view switches.
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "i18n/options_file.h"
#include "i18n/translate_components.h"

#include <QComboBox>
#include <QProcess>
#include <QScrollBar>
#include <QWheelEvent>
#include <QPlainTextEdit>
#include <QtTest>

using namespace velmora;

namespace {

// A program folder of its own for each window: its options file holds the given language
// (none when -1) and its translation table is empty or a copy of the shipped one.
struct ProgramFolder {
    QTemporaryDir dir;
    explicit ProgramFolder(int language = LanguageGerman, bool shippedTable = false)
    {
        if (language >= 0)
            WriteOptionsFile(dir.filePath("options.dat"), language);
        if (shippedTable) // made afresh from the text table, as the build makes it
            QProcess::execute(QStringLiteral(MAKE_TRANSLATE_TABLE),
                              {QStringLiteral(TRANSLATIONS_TSV), dir.filePath("translate.dbf")});
    }
    QString Path() const { return dir.path(); }
    QStringList Keys() const
    {
        TranslateTable table;
        table.Open(dir.filePath("translate.dbf"), true);
        QStringList keys;
        for (int r = 0; r < table.RecordCount(); ++r)
            keys << table.FieldText(r, 0);
        return keys;
    }
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void startsWithDefaults()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));
        QCOMPARE(Probe(form).zoomed->value(), 100);
        QCOMPARE(Probe(form).zoomed->minimum(), 1);
        QCOMPARE(Probe(form).zoomed->maximum(), 300);
        QCOMPARE(Probe(form).zoomed->singleStep(), 10);
        QCOMPARE(Probe(form).StrichEd->value(), 0.1);
        QCOMPARE(Probe(form).RadierEd->value(), 2.0);
        QCOMPARE(Probe(form).PageAnz->maximum(), 10);
        QCOMPARE(Probe(form).Shape1->Colour(), 0u);
        QVERIFY(Probe(form).Lineal2->isChecked() && Probe(form).Winkelmesser2->isChecked() && Probe(form).Zirkel2->isChecked());
        QVERIFY(!Probe(form).AnsichtZollAngabenfrdasLineal1->isChecked());
        QCOMPARE(Probe(form).PaintBox1->size(), QSize(794 + 10, 1123 + 10));
        QCOMPARE(form.View.PageHeightPx(), 1123);
    }

    void pageCountResizesThenDrawsBothSheets()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.State.Modified);
        Probe(form).zoomed->setValue(50);
        QVERIFY(!form.State.Modified); // the zoom is not a change of the drawing
        QCOMPARE(Probe(form).PaintBox1->size(), QSize(397 + 10, 561 + 10));
        Probe(form).PageAnz->setValue(2);
        QVERIFY(form.State.Modified);
        QCOMPARE(Probe(form).PaintBox1->size(), QSize(2 * (397 + 10), 2 * 561 + 10));
        const QImage surface = Probe(form).PaintBox1->grab().toImage();
        const int secondSheetRow = 5 + 561 + 200;
        QCOMPARE(QColor(surface.pixel(5, secondSheetRow)), QColor(Qt::black)); // frame
        QCOMPARE(QColor(surface.pixel(100, secondSheetRow)), QColor(Qt::white));
        QVERIFY(QColor(surface.pixel(420, secondSheetRow)) != QColor(Qt::white)); // beside the sheets
    }

    void statusShowsPointerInMillimetres()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const double s = form.View.PixelsPerMm();
        const QPoint at(5 + 378, 5 + 1123 + 76);
        QMouseEvent move(QEvent::MouseMove, at, Probe(form).PaintBox1->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(Probe(form).PaintBox1, &move);
        // x = 378 / s and y = (1123 + 76) / s, global, with the locale's decimal comma.
        QCOMPARE(Probe(form).StatusBar1->currentMessage(), QStringLiteral("100,01 mm, 317,23 mm"));
        QVERIFY(s > 3.7795 && s < 3.7796);
        QTest::mousePress(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
        QCOMPARE(form.View.ActivePage, 1); // (y - 5) div H, whatever the number of sheets
        QCOMPARE(form.View.ActivePageTopPx, 1123);
        QTest::mouseRelease(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
    }

    void viewSwitchesToggleWithoutMarkingChanged()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Probe(form).Lineal2->trigger();
        Probe(form).AnsichtZollAngabenfrdasLineal1->trigger();
        QVERIFY(!Probe(form).Lineal2->isChecked());
        QVERIFY(Probe(form).AnsichtZollAngabenfrdasLineal1->isChecked());
        QVERIFY(!form.State.Modified);
        QVERIFY(Probe(form).DateiDrucken1->isEnabled());
    }

    void germanStartRegistersOnlyMessages()
    {
        ProgramFolder folder(LanguageGerman);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(Probe(form).SpracheDeutsch1->isChecked());
        QCOMPARE(form.Translation.LanguageColumn, 0);
        QCOMPARE(folder.Keys().size(), 6); // the six program messages
        QVERIFY(!Probe(form).AnsichtZollAngabenfrdasLineal1->isChecked());
        QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("Datei"));
    }

    void startWithoutOptionsIsItalianAndRegistersEveryText()
    {
        ProgramFolder folder(-1);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(Probe(form).SpracheItaliano1->isChecked());
        QCOMPARE(form.Translation.LanguageColumn, 2);
        QVERIFY(Probe(form).AnsichtZollAngabenfrdasLineal1->isChecked());
        // An empty table knows no translation: every text stays German, and is now recorded.
        QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("Datei"));
        const QStringList keys = folder.Keys();
        for (const char *text : {"Datei", "Speichern unter...", "Zollangaben für das Lineal", "Strichstärke:",
                                 "Farbe...", "Übersetzen", "Zurück...", "Suchen", "Erster Datensatz",
                                 "Seite einrichten"})
            QVERIFY2(keys.contains(QString::fromUtf8(text)), text);
        QVERIFY(!keys.contains("100")); // the parts Qt builds inside its widgets are not texts
        QVERIFY(!keys.contains("0,10"));
        QCOMPARE(keys.count("Speichern"), 1);
    }

    void shippedTableKnowsEveryText()
    {
        // A start in another language passes every window text through the translator:
        // none may be missing from the shipped table (add new texts to data/translations.tsv).
        ProgramFolder folder(LanguageItalian, true);
        const QStringList before = folder.Keys();
        {
            TMainForm form(folder.Path());
            form.show();
            QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("File")); // Italian: "File" as well
            QCOMPARE(WithoutMnemonic(Probe(form).Beenden1->text()), QStringLiteral("Esci"));
        }
        const QStringList after = folder.Keys();
        QCOMPARE(after.mid(before.size()), QStringList());
    }

    void englishStartShowsEnglishEverywhere()
    {
        ProgramFolder folder(LanguageEnglish, true);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(Probe(form).SpracheEnglish1->isChecked());
        QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("File"));
        QCOMPARE(WithoutMnemonic(Probe(form).Speichernunter1->text()), QStringLiteral("Save as..."));
        QCOMPARE(form.findChild<QAction *>("N6")->toolTip(), QStringLiteral("Open..."));
        QCOMPARE(form.findChild<QLabel *>("Label2")->text(), QStringLiteral("Line width:"));
        QCOMPARE(Probe(form).FarbeBtn->text(), QStringLiteral("Colour..."));
        QCOMPARE(Probe(form).TranslateForm->windowTitle(), QStringLiteral("Translate"));
        QCOMPARE(Probe(form).TranslateForm->BackBtn->text(), QStringLiteral("Back..."));
        QCOMPARE(Probe(form).TranslateForm->NavFirst->toolTip(), QStringLiteral("First record"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [untitled.vlm]"));
    }

    void furtherColumnKeepsItalianChecked()
    {
        ProgramFolder folder(5);
        TMainForm form(folder.Path());
        form.show();
        QCOMPARE(form.Translation.LanguageColumn, 5);
        QVERIFY(Probe(form).SpracheItaliano1->isChecked());
    }

    void choosingEnglishWritesOptionsAndSaysSoInEnglish()
    {
        ProgramFolder folder(LanguageGerman, true);
        TMainForm form(folder.Path());
        QStringList shown;
        form.ShowInformation = [&](const QString &text, const QString &caption) { shown << text << caption; };
        form.show();
        Probe(form).SpracheEnglish1->trigger();
        QVERIFY(Probe(form).SpracheEnglish1->isChecked());
        QCOMPARE(shown, (QStringList{"Please close the program and start it again!", "Brandok Velmora 1.0"}));
        QFile options(folder.dir.filePath("options.dat"));
        QVERIFY(options.open(QIODevice::ReadOnly));
        QCOMPARE(options.readAll(), QByteArray("\x01\x00\x00\x00", 4));
        QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("Datei")); // until the next start
    }

    void translationEditorWritesTheTable()
    {
        ProgramFolder folder(LanguageGerman, true);
        TMainForm form(folder.Path());
        form.show();
        TTranslateForm &editor = *Probe(form).TranslateForm;
        QTimer::singleShot(0, &editor, [&] {
            editor.FilterEdit->setText("speichern");
            editor.FilterBtn->click();
            QVERIFY(editor.DataSet.RowCount() >= 3);
            QVERIFY(editor.DBGrid1->model()->setData(editor.DBGrid1->model()->index(0, 5), "Sichern"));
            editor.BackBtn->click();
        });
        QStringList shown;
        form.ShowInformation = [&](const QString &text, const QString &) { shown << text; };
        Probe(form).Sprachebersetzen1->trigger();
        QCOMPARE(shown, QStringList{"Bitte schließen Sie das Programm und starten Sie es erneut!"});
        QVERIFY(!form.translate.FilterActive()); // closing switches the search off
        QCOMPARE(editor.DBGrid1->columnWidth(18), 300);
        TranslateTable table;
        QVERIFY(table.Open(folder.dir.filePath("translate.dbf"), true));
        int written = 0;
        for (int r = 0; r < table.RecordCount(); ++r)
            written += table.FieldText(r, 5) == "Sichern";
        QCOMPARE(written, 1);
    }

    void unreadableTableIsReportedAndTextsStayGerman()
    {
        ProgramFolder folder(LanguageEnglish);
        QFile damaged(folder.dir.filePath("translate.dbf"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a table at all");
        damaged.close();
        TMainForm form(folder.Path());
        QStringList shown;
        form.ShowInformation = [&](const QString &text, const QString &) { shown << text; };
        form.show();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains(damaged.fileName() + "\n"));
        QVERIFY(shown[0].endsWith("Der Kopf der Tabelle ist beschädigt.")); // what is wrong with it
        QCOMPARE(WithoutMnemonic(Probe(form).Datei1->title()), QStringLiteral("Datei"));
        Probe(form).SpracheDeutsch1->trigger(); // lookups and the menu keep working
        QCOMPARE(shown.size(), 2);
    }

    void toolMenuKeepsEachToolsMode()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(Probe(form).Lineal1->isChecked() && Probe(form).LinealVerschieben1->isChecked());
        Probe(form).LinealDrehen1->trigger();
        QVERIFY(Probe(form).Lineal1->isChecked() && Probe(form).LinealDrehen1->isChecked() && !Probe(form).LinealVerschieben1->isChecked());
        Probe(form).Hand1->trigger();
        QVERIFY(Probe(form).Hand1->isChecked() && !Probe(form).Lineal1->isChecked());
        QVERIFY(Probe(form).LinealDrehen1->isChecked()); // the ruler keeps its mode
        QCOMPARE(form.Tools.Current, Tool::Hand);
        QCOMPARE(form.Tools.Ruler, RulerMode::Turn);
        QVERIFY(!Probe(form).Lineal1->toolTip().isEmpty() && !Probe(form).Lineal1->icon().isNull());
    }

    void escapeDropsACurveUnderConstruction()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Probe(form).Kurven1->trigger();
        QTest::mouseClick(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(105, 105));
        QTest::mouseClick(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(305, 105));
        QVERIFY(form.Dispatch.Active());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.Dispatch.Active());
        // The next clicks are the pencil's, not the curve's control points.
        Probe(form).Bleistift1->trigger();
        QTest::mousePress(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(105, 205));
        QMouseEvent move(QEvent::MouseMove, QPoint(155, 205), Probe(form).PaintBox1->mapToGlobal(QPoint(155, 205)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(Probe(form).PaintBox1, &move);
        QTest::mouseRelease(Probe(form).PaintBox1, Qt::LeftButton, {}, QPoint(155, 205));
        QCOMPARE(form.State.Objects.Count, 1);
        QCOMPARE(form.State.Objects.At(0).Kind, uint32_t(KindLine));
    }

    void drawingAlongTheRulerWithTheMouse()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Probe(form).LinealAnLinealentlangzeichnen1->trigger();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, at, Probe(form).PaintBox1->mapToGlobal(at), button, held, {});
            QApplication::sendEvent(Probe(form).PaintBox1, &event);
        };
        send(QEvent::MouseMove, {105, 205}, Qt::NoButton, Qt::NoButton);
        QVERIFY(!form.SurfaceOverlay.IsEmpty()); // the hover dot
        send(QEvent::MouseButtonPress, {105, 205}, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, {305, 505}, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, {305, 505}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(form.State.Objects.Count, 1);
        QCOMPARE(form.State.Objects.At(0).X2, 79.374);
        QVERIFY(form.windowTitle().endsWith("*]"));
        QVERIFY(form.SurfaceOverlay.IsEmpty()); // the repaint after storing wiped the preview
    }

    void wheelScrollsTwentyPixels()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Probe(form).PageAnz->setValue(3);
        QScrollBar *bar = Probe(form).ScrollBox1->verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        const QPoint at(50, 50);
        QWheelEvent down(at, Probe(form).ScrollBox1->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Probe(form).ScrollBox1->viewport(), &down);
        QApplication::sendEvent(Probe(form).ScrollBox1->viewport(), &down);
        QCOMPARE(bar->value(), 40);
        QWheelEvent up(at, Probe(form).ScrollBox1->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Probe(form).ScrollBox1->viewport(), &up);
        QCOMPARE(bar->value(), 20);
    }

    void textDialog()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        TAddTextForm &dialog = *Probe(form).AddTextForm;
        QString text;
        // Typed text, OK only while the memo holds something.
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(!dialog.OkBtn->isEnabled());
            QTest::keyClicks(dialog.Memo1, "Dreieck");
            QVERIFY(dialog.OkBtn->isEnabled());
            QTest::keyClick(dialog.Memo1, Qt::Key_Return); // Enter is a line break
            QTest::keyClicks(dialog.Memo1, "ABC");
            dialog.OkBtn->click();
        });
        QVERIFY(dialog.Execute(nullptr, text));
        QCOMPARE(text, QStringLiteral("Dreieck\nABC"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Text hinzufügen"));
        QCOMPARE(dialog.size(), QSize(399, 266));
        // The memo keeps its text; Alt+Enter confirms even an empty memo; the font is the text font.
        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(dialog.Memo1->toPlainText(), QStringLiteral("Dreieck\nABC"));
            QCOMPARE(dialog.Memo1->font().pointSize(), 10);
            dialog.Memo1->clear();
            QVERIFY(!dialog.OkBtn->isEnabled());
            QTest::keyClick(dialog.Memo1, Qt::Key_Return, Qt::AltModifier);
        });
        QVERIFY(dialog.Execute(nullptr, text));
        QCOMPARE(text, QString());
        QTimer::singleShot(0, &dialog, [&] { dialog.CancelBtn->click(); });
        QVERIFY(!dialog.Execute(nullptr, text));
        QCOMPARE(Probe(form).FontDialog1.Name, QStringLiteral("Arial"));
        QCOMPARE(Probe(form).FontDialog1.Size, 10);
    }

    void walkTranslatesEachKindOfText()
    {
        QWidget window;
        window.setObjectName("Window");
        window.setWindowTitle("Fenster");
        auto *combo = new QComboBox(&window);
        combo->setObjectName("Combo");
        combo->addItems({"eins", "zwei"});
        combo->setCurrentIndex(1);
        auto *memo = new QPlainTextEdit("erste\nzweite", &window);
        memo->setObjectName("Memo");
        auto *spin = new QSpinBox(&window);
        spin->setObjectName("Spin");
        spin->setToolTip("Hinweis");
        auto *filter = new FileDialogFilter("SaveDialog1", "Zeichnungen (*.vlm)|*.vlm", "vlm", &window);
        auto *unnamed = new QLabel("ohne Namen", &window);
        QStringList seen;
        TranslateComponents(&window, [&](const QString &t) {
            seen << t;
            return t.toUpper();
        });
        QCOMPARE(window.windowTitle(), QStringLiteral("FENSTER"));
        QCOMPARE(combo->itemText(0), QStringLiteral("EINS"));
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(memo->toPlainText(), QStringLiteral("ERSTE\nZWEITE"));
        QCOMPARE(spin->toolTip(), QStringLiteral("HINWEIS"));
        QCOMPARE(filter->Filter, QStringLiteral("ZEICHNUNGEN (*.VLM)|*.VLM"));
        QCOMPARE(filter->QtFilter(), QStringLiteral("ZEICHNUNGEN (*.VLM)"));
        QCOMPARE(unnamed->text(), QStringLiteral("ohne Namen"));
        QVERIFY(!seen.contains("0")); // not the spin box's inner edit
        // Owned components from the last to the first, breadth first.
        QCOMPARE(seen.mid(0, 2), (QStringList{"Fenster", "Zeichnungen (*.vlm)|*.vlm"}));
    }
};

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"
