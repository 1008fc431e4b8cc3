// The main window on the offscreen platform: its controls and defaults, the surface
// sizing after a page-count change, the status read-out and the view switches.
#include "app/desktop_keys.h"
#include "support/window_fixture.h"
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
        QCOMPARE(form.SettingsBand().zoomEdit->value(), 100);
        QCOMPARE(form.SettingsBand().zoomEdit->minimum(), 1);
        QCOMPARE(form.SettingsBand().zoomEdit->maximum(), 300);
        QCOMPARE(form.SettingsBand().zoomEdit->singleStep(), 10);
        QCOMPARE(form.SettingsBand().penWidthEdit->value(), 0.1);
        QCOMPARE(form.SettingsBand().eraserEdit->value(), 2.0);
        QCOMPARE(form.SettingsBand().pageCountEdit->maximum(), 10);
        QCOMPARE(form.SettingsBand().colourSwatch->Colour(), 0u);
        QVERIFY(form.Menus().rulerShownAction->isChecked() && form.Menus().protractorShownAction->isChecked() && form.Menus().compassShownAction->isChecked());
        QVERIFY(!form.Menus().inchLabelsAction->isChecked());
        QCOMPARE(form.Surface().paintBox->size(), QSize(794 + 10, 1123 + 10));
        QCOMPARE(form.Surface().View.PageHeightPx(), 1123);
    }

    void pageCountResizesThenDrawsBothSheets()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.Session().IsModified());
        form.SettingsBand().zoomEdit->setValue(50);
        QVERIFY(!form.Session().IsModified()); // the zoom is not a change of the drawing
        QCOMPARE(form.Surface().paintBox->size(), QSize(397 + 10, 561 + 10));
        form.SettingsBand().pageCountEdit->setValue(2);
        QVERIFY(form.Session().IsModified());
        QCOMPARE(form.Surface().paintBox->size(), QSize(2 * (397 + 10), 2 * 561 + 10));
        const QImage surface = form.Surface().paintBox->grab().toImage();
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
        const double s = form.Surface().View.PixelsPerMm();
        const QPoint at(5 + 378, 5 + 1123 + 76);
        QMouseEvent move(QEvent::MouseMove, at, form.Surface().paintBox->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(form.Surface().paintBox, &move);
        // x = 378 / s and y = (1123 + 76) / s, global, with the locale's decimal comma.
        QCOMPARE((form.statusBar())->currentMessage(), QStringLiteral("100,01 mm, 317,23 mm"));
        QVERIFY(s > 3.7795 && s < 3.7796);
        QTest::mousePress(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
        QCOMPARE(form.Surface().View.ActivePage, 1); // (y - 5) div H, whatever the number of sheets
        QCOMPARE(form.Surface().View.ActivePageTopPx, 1123);
        QTest::mouseRelease(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(50, 5 + 1123 + 10));
    }

    void viewSwitchesToggleWithoutMarkingChanged()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Menus().rulerShownAction->trigger();
        form.Menus().inchLabelsAction->trigger();
        QVERIFY(!form.Menus().rulerShownAction->isChecked());
        QVERIFY(form.Menus().inchLabelsAction->isChecked());
        QVERIFY(!form.Session().IsModified());
        QVERIFY(form.Menus().printAction->isEnabled());
    }

    void germanStartRegistersOnlyMessages()
    {
        ProgramFolder folder(LanguageGerman);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(form.Menus().germanAction->isChecked());
        QCOMPARE(form.Translation().LanguageColumn, 0);
        QCOMPARE(folder.Keys().size(), 6); // the six program messages
        QVERIFY(!form.Menus().inchLabelsAction->isChecked());
        QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("Datei"));
    }

    void startWithoutOptionsIsItalianAndRegistersEveryText()
    {
        ProgramFolder folder(-1);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(form.Menus().italianAction->isChecked());
        QCOMPARE(form.Translation().LanguageColumn, 2);
        QVERIFY(form.Menus().inchLabelsAction->isChecked());
        // An empty table knows no translation: every text stays German, and is now recorded.
        QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("Datei"));
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
            QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("File")); // Italian: "File" as well
            QCOMPARE(WithoutMnemonic(form.Menus().quitAction->text()), QStringLiteral("Esci"));
        }
        const QStringList after = folder.Keys();
        QCOMPARE(after.mid(before.size()), QStringList());
    }

    void englishStartShowsEnglishEverywhere()
    {
        ProgramFolder folder(LanguageEnglish, true);
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(form.Menus().englishAction->isChecked());
        QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("File"));
        QCOMPARE(WithoutMnemonic(form.Menus().saveAsAction->text()), QStringLiteral("Save as..."));
        QCOMPARE(form.findChild<QAction *>("openIcon")->toolTip(), QStringLiteral("Open..."));
        QCOMPARE(form.findChild<QLabel *>("penWidthLabel")->text(), QStringLiteral("Line width:"));
        QCOMPARE(form.SettingsBand().colourButton->text(), QStringLiteral("Colour..."));
        QCOMPARE((form.findChild<TTranslateForm *>())->windowTitle(), QStringLiteral("Translate"));
        QCOMPARE((form.findChild<TTranslateForm *>())->BackBtn->text(), QStringLiteral("Back..."));
        QCOMPARE((form.findChild<TTranslateForm *>())->NavFirst->toolTip(), QStringLiteral("First record"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [untitled.vlm]"));
    }

    void furtherColumnKeepsItalianChecked()
    {
        ProgramFolder folder(5);
        TMainForm form(folder.Path());
        form.show();
        QCOMPARE(form.Translation().LanguageColumn, 5);
        QVERIFY(form.Menus().italianAction->isChecked());
    }

    void choosingEnglishWritesOptionsAndSaysSoInEnglish()
    {
        ProgramFolder folder(LanguageGerman, true);
        WindowFixture window(WindowOptions().InFolder(folder.Path()));
        TMainForm &form = *window;
        form.Menus().englishAction->trigger();
        QVERIFY(form.Menus().englishAction->isChecked());
        QCOMPARE(window.information, QStringList{"Please close the program and start it again!"});
        QCOMPARE(window.informationCaptions, QStringList{"Brandok Velmora 1.0"});
        QFile options(folder.dir.filePath("options.dat"));
        QVERIFY(options.open(QIODevice::ReadOnly));
        QCOMPARE(options.readAll(), QByteArray("\x01\x00\x00\x00", 4));
        QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("Datei")); // until the next start
    }

    void translationEditorWritesTheTable()
    {
        ProgramFolder folder(LanguageGerman, true);
        WindowFixture window(WindowOptions().InFolder(folder.Path()));
        TMainForm &form = *window;
        TTranslateForm &editor = window.Find<TTranslateForm>();
        QTimer::singleShot(0, &editor, [&] {
            editor.FilterEdit->setText("speichern");
            editor.FilterBtn->click();
            QVERIFY(editor.DataSet.RowCount() >= 3);
            QVERIFY(editor.DBGrid1->model()->setData(editor.DBGrid1->model()->index(0, 5), "Sichern"));
            editor.BackBtn->click();
        });
        form.Menus().translateAction->trigger();
        QCOMPARE(window.information, QStringList{"Bitte schließen Sie das Programm und starten Sie es erneut!"});
        QVERIFY(!form.Translation().Table().FilterActive()); // closing switches the search off
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
        WindowFixture window(WindowOptions().InFolder(folder.Path()));
        TMainForm &form = *window;
        const QStringList &shown = window.information;
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains(damaged.fileName() + "\n"));
        QVERIFY(shown[0].endsWith("Der Kopf der Tabelle ist beschädigt.")); // what is wrong with it
        QCOMPARE(WithoutMnemonic(form.Menus().fileMenu->title()), QStringLiteral("Datei"));
        form.Menus().germanAction->trigger(); // lookups and the menu keep working
        QCOMPARE(shown.size(), 2);
    }

    void toolMenuKeepsEachToolsMode()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(form.Tools().rulerTool->isChecked() && form.Tools().rulerMoveMode->isChecked());
        form.Tools().rulerTurnMode->trigger();
        QVERIFY(form.Tools().rulerTool->isChecked() && form.Tools().rulerTurnMode->isChecked() && !form.Tools().rulerMoveMode->isChecked());
        form.Tools().handTool->trigger();
        QVERIFY(form.Tools().handTool->isChecked() && !form.Tools().rulerTool->isChecked());
        QVERIFY(form.Tools().rulerTurnMode->isChecked()); // the ruler keeps its mode
        QCOMPARE(form.Tools().Selection().Current, Tool::Hand);
        QCOMPARE(form.Tools().Selection().Ruler, RulerMode::Turn);
        QVERIFY(!form.Tools().rulerTool->toolTip().isEmpty() && !form.Tools().rulerTool->icon().isNull());
    }

    void escapeDropsACurveUnderConstruction()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Tools().curvesTool->trigger();
        QTest::mouseClick(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(105, 105));
        QTest::mouseClick(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(305, 105));
        QVERIFY(form.Dispatch().Active());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.Dispatch().Active());
        // The next clicks are the pencil's, not the curve's control points.
        form.Tools().pencilTool->trigger();
        QTest::mousePress(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(105, 205));
        QMouseEvent move(QEvent::MouseMove, QPoint(155, 205), form.Surface().paintBox->mapToGlobal(QPoint(155, 205)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(form.Surface().paintBox, &move);
        QTest::mouseRelease(form.Surface().paintBox, Qt::LeftButton, {}, QPoint(155, 205));
        QCOMPARE(form.Session().Drawing().Objects.Count, 1);
        QCOMPARE(form.Session().Drawing().Objects.At(0).Kind, uint32_t(KindLine));
    }

    void drawingAlongTheRulerWithTheMouse()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Tools().rulerAlongMode->trigger();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, at, form.Surface().paintBox->mapToGlobal(at), button, held, {});
            QApplication::sendEvent(form.Surface().paintBox, &event);
        };
        send(QEvent::MouseMove, {105, 205}, Qt::NoButton, Qt::NoButton);
        QVERIFY(!form.Surface().Overlay.IsEmpty()); // the hover dot
        send(QEvent::MouseButtonPress, {105, 205}, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, {305, 505}, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, {305, 505}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(form.Session().Drawing().Objects.Count, 1);
        QCOMPARE(form.Session().Drawing().Objects.At(0).X2, 79.374);
        QVERIFY(form.windowTitle().endsWith("*]"));
        QVERIFY(form.Surface().Overlay.IsEmpty()); // the repaint after storing wiped the preview
    }

    void wheelScrollsTwentyPixels()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.SettingsBand().pageCountEdit->setValue(3);
        QScrollBar *bar = form.Surface().verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        const QPoint at(50, 50);
        QWheelEvent down(at, form.Surface().viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.Surface().viewport(), &down);
        QApplication::sendEvent(form.Surface().viewport(), &down);
        QCOMPARE(bar->value(), 40);
        QWheelEvent up(at, form.Surface().viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.Surface().viewport(), &up);
        QCOMPARE(bar->value(), 20);
    }

    void textDialog()
    {
        ProgramFolder folder;
        TMainForm form(folder.Path());
        form.show();
        TAddTextForm &dialog = *(&form.TextDialog());
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
        QCOMPARE((form.NewTextFont()).Name, QStringLiteral("Arial"));
        QCOMPARE((form.NewTextFont()).Size, 10);
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
