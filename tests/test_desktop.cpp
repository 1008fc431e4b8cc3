// What a user of any desktop expects of the main window, tried through its keys, menus and
// dialogs: titles, shortcuts, mnemonics, Escape, Qt's texts in the chosen language, a history
// that knows the saved state, icons, the font dialog, opening, printing and the export dialog.
#include "app/command_icons.h"
#include "app/desktop_keys.h"
#include "support/dialog_answers.h"
#include "support/drawing_builder.h"
#include "support/file_helpers.h"
#include "support/window_fixture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QScrollBar>
#include <QStyleOptionMenuItem>
#include <QToolButton>
#include <QtTest>

using namespace velmora;

namespace {

// A window whose questions and file dialogs are real, as on a desktop; the test answers them
// itself where it says so (AnswerDialogs).
struct Window : WindowFixture {
    explicit Window(int language = LanguageGerman)
        : WindowFixture(WindowOptions().InLanguage(language).WithRealDialogs())
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    // The drawing saved under that name, the save dialog answered by the test.
    void SaveAs(const QString &path)
    {
        AnswerDialogs();
        savePath = path;
        form->Menus().saveAsAction->trigger();
        UseRealDialogs();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!QApplication::activeWindow()) { // the offscreen platform activates no window after a dialog
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        }
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), key, modifiers);
    }
    bool Starred() const { return form->windowTitle().endsWith(QStringLiteral("*]")); }
};

double MeanAlpha(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

int Differing(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

QString PdfInfo(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    return QString::fromUtf8(info.readAllStandardOutput());
}

QImage PdfPage(const QString &pdf, int dpi)
{
    const QString base = pdf + QStringLiteral("-page");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                       pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Dark pixels in a band of columns [x0, x1) over the middle half of the rows, or rows likewise.
int DarkInColumns(const QImage &page, int x0, int x1)
{
    int dark = 0;
    for (int y = page.height() / 4; y < page.height() * 3 / 4; ++y)
        for (int x = std::max(0, x0); x < std::min(page.width(), x1); ++x)
            dark += qGray(page.pixel(x, y)) < 160;
    return dark;
}
int DarkInRows(const QImage &page, int y0, int y1)
{
    int dark = 0;
    for (int y = std::max(0, y0); y < std::min(page.height(), y1); ++y)
        for (int x = page.width() / 4; x < page.width() * 3 / 4; ++x)
            dark += qGray(page.pixel(x, y)) < 160;
    return dark;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void titlesAreTheWindowsOwn()
    {
        Window w;
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));
        // Qt appends a set display name to every title it gives the window system.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(w.Find<TDPIForm>().windowTitle(), QStringLiteral("DPI festlegen"));
        w->Tools().circleAction->trigger();
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm*]"));
    }

    void commonShortcutsOnEveryDesktop()
    {
        // The platform's own keys stay; the common ones come first and are what the menu shows.
        const QKeySequence ctrlY(Qt::CTRL | Qt::Key_Y), ctrlShiftZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(MergeShortcuts({ctrlShiftZ, ctrlY}, {ctrlShiftZ}), (QList<QKeySequence>{ctrlShiftZ, ctrlY}));
        QCOMPARE(MergeShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, {}).size(), 1);
        QCOMPARE(MergeShortcuts({ctrlY}, {QKeySequence(Qt::Key_F5), ctrlY}), (QList<QKeySequence>{ctrlY, Qt::Key_F5}));

        Window w;
        const std::pair<QAction *, QString> items[] = {
            {w->Menus().newAction, "Ctrl+N"},       {w->Menus().openAction, "Ctrl+O"},          {w->Menus().saveAction, "Ctrl+S"},
            {w->Menus().saveAsAction, "Ctrl+Shift+S"}, {w->Menus().printAction, "Ctrl+P"}, {w->Menus().quitAction, "Ctrl+Q"},
            {w->Menus().undoAction, "Ctrl+Z"}, {w->Menus().redoAction, "Ctrl+Shift+Z"}};
        for (const auto &[item, key] : items)
            QCOMPARE(item->shortcut().toString(), key);
        QVERIFY(w->Menus().redoAction->shortcuts().contains(ctrlY));
        // No key belongs to two commands (Qt would then run neither).
        QList<QKeySequence> all;
        for (QAction *action : w->findChildren<QAction *>())
            for (const QKeySequence &key : action->shortcuts()) {
                QVERIFY2(!all.contains(key), qPrintable(key.toString()));
                all << key;
            }

        // The keys reach the commands.
        w.AnswerDialogs();
        w.Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.saveDialogs, 1);
        w.Key(Qt::Key_S, Qt::ControlModifier); // untitled: Save asks for a name
        QCOMPARE(w.saveDialogs, 2);
        w.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.openDialogs, 1);
        w->Tools().circleAction->trigger();
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        w.answer = SessionPrompts::Answer::No;
        w.Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        Answer<QPrintDialog>([](QPrintDialog *print) { QTest::keyClick(print, Qt::Key_Escape); });
        w.Key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!QApplication::activeModalWidget());
        w.Key(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
    }

    void menusAndDialogsByKeyboard()
    {
        Window w;
        QCOMPARE(w->Menus().fileMenu->title(), QStringLiteral("&Datei"));
        QCOMPARE(w->Menus().editMenu->title(), QStringLiteral("&Bearbeiten"));
        QCOMPARE(w->Menus().saveAsAction->text(), QStringLiteral("Speichern &unter..."));
        w.Key(Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(w->Menus().fileMenu->isVisible());
        QTest::keyClick(w->Menus().fileMenu, Qt::Key_Escape);
        QTRY_VERIFY(!w->Menus().fileMenu->isVisible());
        w.Key(Qt::Key_F10);
        QTRY_VERIFY(w->Menus().fileMenu->isVisible());
        QTest::keyClick(w->Menus().fileMenu, Qt::Key_Escape);
        QTRY_VERIFY(!w->Menus().fileMenu->isVisible());

        // Every dialog has a default button and closes with Escape without doing anything.
        w.AnswerDialogs();
        QStringList defaults;
        auto escape = [&](QDialog *dialog) {
            if (QPushButton *button = DefaultButton(dialog))
                defaults << button->objectName();
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        };
        Answer<QDialog>(escape);
        w.exportPath = w.Path("nicht.png"); // the file first, then its dots per inch
        w->Menus().exportAction->trigger();
        QCOMPARE(w.exportDialogs, 1);
        QVERIFY(!QFileInfo::exists(w.exportPath));
        Answer<QDialog>(escape);
        w->Menus().pageSetupAction->trigger();
        QVERIFY(!w->Session().IsModified());
        w->Tools().textAddMode->trigger();
        Answer<QDialog>(escape);
        QTest::mouseClick(w->Surface().paintBox, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(w->Session().Drawing().Texts.Count, 0);
        Answer<QDialog>(escape);
        w->Menus().translateAction->trigger();
        QCOMPARE(defaults, (QStringList{"BitBtn1", "BitBtnXP1", "OkBtn", "FilterBtn"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A click on a tool's button chooses the tool; its arrow opens the modes, which have
    // access letters. Before, any click opened the modes and the tool stayed as it was.
    void toolButtonsChooseTheirToolAndTheArrowTheMode()
    {
        Window w;
        ToolBand &tools = w->Tools();
        tools.pencilTool->trigger();
        QToolButton *ruler = nullptr;
        for (QToolButton *button : tools.findChildren<QToolButton *>())
            if (button->defaultAction() == tools.rulerTool)
                ruler = button;
        QVERIFY(ruler && ruler->menu());
        QMenu *modes = ruler->menu();
        QCOMPARE(modes->actions()[1]->text(), QStringLiteral("&Drehen"));
        QTimer guard; // a menu opened by mistake would hold the test
        connect(&guard, &QTimer::timeout, modes, &QMenu::close);
        guard.start(500);
        QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(ruler->width() / 3, ruler->height() / 2));
        QVERIFY(tools.rulerTool->isChecked());
        QCOMPARE(tools.Selection().Current, Tool::Ruler);
        QVERIFY(tools.rulerMoveMode->isChecked());

        tools.pencilTool->trigger();
        bool opened = false;
        QTimer::singleShot(50, modes, [&] {
            opened = modes->isVisible();
            QTest::keyClick(modes, Qt::Key_D);
        });
        QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(ruler->width() - 3, ruler->height() / 2));
        QTRY_VERIFY(opened);
        QTRY_VERIFY(tools.rulerTurnMode->isChecked());
        QVERIFY(tools.rulerTool->isChecked());
        QCOMPARE(tools.Selection().Ruler, RulerMode::Turn);
    }

    // Every item of "Datei" has room for its whole text and shortcut, in every language (a
    // desktop showed Save as with "Strg+Um").
    // Every shortcut of "Datei" has the room the style reserves for it, measured as the style
    // draws it ("Strg+Umschalt+S" was clipped to "Strg+Um"); run on the offscreen platform and
    // on a real X server.
    void fileMenuShowsWholeShortcuts()
    {
        struct MenuProbe : QMenu {
            using QMenu::initStyleOption;
        };
        for (int language : {LanguageGerman, LanguageEnglish, LanguageItalian}) {
            Window w(language);
            QMenu *file = w->Menus().fileMenu;
            w.Key(Qt::Key_F10);
            QTRY_VERIFY(file->isVisible());
            for (QAction *item : file->actions()) {
                if (item->isSeparator() || item->shortcut().isEmpty())
                    continue;
                QStyleOptionMenuItem option;
                // The style's own option for the item, through a pointer to QMenu's member (no
                // cast of the menu to a type it is not).
                const auto initStyleOption = &MenuProbe::initStyleOption;
                (file->*initStyleOption)(&option, item);
                const QString key = option.text.section(QLatin1Char('\t'), 1);
                const QFontMetrics metrics(option.font);
                const QRect row = file->actionGeometry(item);
                const QString what = QStringLiteral("%1 \"%2\": %3 px for the key, %4 reserved, row %5 of %6")
                                         .arg(WithoutMnemonic(item->text()), key)
                                         .arg(metrics.horizontalAdvance(key))
                                         .arg(option.reservedShortcutWidth)
                                         .arg(row.width())
                                         .arg(file->width());
                QCOMPARE(key, item->shortcut().toString(QKeySequence::NativeText));
                QVERIFY2(metrics.horizontalAdvance(key) <= option.reservedShortcutWidth, qPrintable(what));
                QVERIFY2(row.right() < file->width() &&
                             metrics.horizontalAdvance(WithoutMnemonic(option.text.section(QLatin1Char('\t'), 0, 0)) +
                                                       "  " + key) < row.width(),
                         qPrintable(what));
            }
            if (language == LanguageGerman)
                QCOMPARE(w->Menus().saveAsAction->shortcut().toString(QKeySequence::NativeText),
                         QStringLiteral("Strg+Umschalt+S"));
            QTest::keyClick(file, Qt::Key_Escape);
        }
    }

    void escapeCancelsACurve()
    {
        Window w;
        w->Tools().curvesTool->trigger();
        QTest::mouseClick(w->Surface().paintBox, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(w->Surface().paintBox, Qt::LeftButton, {}, QPoint(300, 100));
        QTest::mouseMove(w->Surface().paintBox, QPoint(200, 300));
        const Gesture *under = w->Dispatch().Active();
        QVERIFY(under && std::holds_alternative<Curve>(*under) && std::get<Curve>(*under).Placed == Curve::Stage::End);
        w.Key(Qt::Key_Escape);
        QVERIFY(!w->Dispatch().Active());
        QVERIFY(w->Surface().Overlay.IsEmpty()); // the rubber band is gone
        // The next four clicks make a curve of their own.
        for (QPoint p : {QPoint(50, 50), QPoint(250, 50), QPoint(100, 150), QPoint(200, 150)})
            QTest::mouseClick(w->Surface().paintBox, Qt::LeftButton, {}, p);
        QCOMPARE(w->Session().Drawing().Objects.Count, 1);
        QCOMPARE(w->Session().Drawing().Objects.At(0).X1 * w->Surface().View.PixelsPerMm(), 45.0);
    }

    void qtTextsFollowTheLanguage()
    {
        const std::pair<int, QString> cases[] = {
            {LanguageGerman, "Abbrechen"}, {LanguageEnglish, "Cancel"}, {LanguageItalian, "Annulla"}};
        for (const auto &[language, cancel] : cases) {
            Window w(language);
            w->Tools().circleAction->trigger();
            QString shown;
            Answer<QMessageBox>([&shown](QMessageBox *box) {
                shown = box->button(QMessageBox::Cancel)->text();
                box->button(QMessageBox::Cancel)->click();
            });
            w->Menus().newAction->trigger();
            QCOMPARE(shown, cancel);
            QCOMPARE(w->Session().Drawing().Objects.Count, 1); // cancelled
            Answer<QFileDialog>([&shown](QFileDialog *files) {
                shown = DialogButton(files, QDialogButtonBox::Cancel)->text();
                QTest::keyClick(files, Qt::Key_Escape);
            });
            w->Session().Prompts().AskFileName(FileChoice::OpenDrawing, QString());
            QCOMPARE(shown, cancel);
        }
    }

    void undoKnowsTheSavedState()
    {
        Window w;
        QTemporaryDir files;
        const QString path = files.filePath("Dreieck.vlm");
        w.AnswerDialogs();
        w.savePath = path;

        w->Tools().circleAction->trigger();
        w.Key(Qt::Key_Z, Qt::ControlModifier); // back to the new, empty drawing
        QVERIFY(!w.Starred() && !w->Session().IsModified());
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(w.Starred());
        w.Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.Starred());
        w->Tools().circleAction->trigger();
        QVERIFY(w.Starred());
        w.Key(Qt::Key_Z, Qt::ControlModifier); // back to what was saved
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + path + "]");
        w.Key(Qt::Key_Z, Qt::ControlModifier); // before the save
        QVERIFY(w.Starred());
        w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!w.Starred());
        w->close();
        QVERIFY(w.questions.isEmpty()); // nothing to ask about
        QVERIFY(!w->isVisible());

        // Typing "10" into the sheet count is one step, not two.
        Window p;
        p->SettingsBand().pageCountEdit->setValue(3);
        p->Tools().circleAction->trigger();
        const int steps = p->Session().History().count();
        p->SettingsBand().pageCountEdit->setFocus();
        QTest::keyClick(p->SettingsBand().pageCountEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(p->SettingsBand().pageCountEdit, "10");
        QCOMPARE(p->SettingsBand().pageCountEdit->value(), 10);
        QCOMPARE(p->Session().History().count(), steps + 1);
        p->Menus().undoAction->trigger();
        QCOMPARE(p->SettingsBand().pageCountEdit->value(), 3);
        // Up and back down again leaves no step at all.
        QTest::keyClick(p->SettingsBand().pageCountEdit, Qt::Key_Up);
        QTest::keyClick(p->SettingsBand().pageCountEdit, Qt::Key_Down);
        QCOMPARE(p->Session().History().count(), steps);
        QCOMPARE(p->Session().History().undoText(), QStringLiteral("Kreis"));
    }

    void iconsShowTheirMeaningAndTheirState()
    {
        const CommandIconKind kinds[] = {CommandIconKind::PageSetup, CommandIconKind::Print,
                                         CommandIconKind::PrinterSetup, CommandIconKind::Undo, CommandIconKind::Redo};
        QList<QImage> drawn;
        for (CommandIconKind kind : kinds) {
            QVERIFY(!CommandIconThemeNames(kind).isEmpty());
            const QIcon icon = CommandIcon(kind);
            const QImage normal = icon.pixmap(24, QIcon::Normal).toImage();
            const QImage disabled = icon.pixmap(24, QIcon::Disabled).toImage();
            QVERIFY(MeanAlpha(normal) > 20);
            QVERIFY(MeanAlpha(disabled) < 0.5 * MeanAlpha(normal)); // faded
            for (int y = 0; y < disabled.height(); ++y)
                for (int x = 0; x < disabled.width(); ++x) {
                    const QColor c = disabled.pixelColor(x, y);
                    QVERIFY(std::abs(c.red() - c.blue()) < 4 && std::abs(c.red() - c.green()) < 4); // grey
                }
            drawn << DrawnCommandIcon(kind).pixmap(24).toImage();
        }
        for (int i = 0; i < drawn.size(); ++i)
            for (int j = i + 1; j < drawn.size(); ++j)
                QVERIFY(Differing(drawn[i], drawn[j]) > 40); // no two look alike

        // The undo button of the icon band, before and after there is something to undo.
        Window w;
        QWidget *undo = w->Menus().iconBar->widgetForAction(w->Menus().undoIcon);
        const QImage off = undo->grab().toImage();
        w->Tools().circleAction->trigger();
        QVERIFY(undo->isEnabled());
        const QImage on = undo->grab().toImage();
        QVERIFY(Differing(off, on) > 60);
        QCOMPARE(w->Menus().printAction->icon().cacheKey(), w->findChild<QAction *>("printIcon")->icon().cacheKey());
    }

    void fontDialogStartsAtTheTextsFont()
    {
        Window w;
        TAddTextForm &dialog = *(&w->TextDialog());
        QFont started;
        Answer<TAddTextForm>([&](TAddTextForm *) {
            Answer<QFontDialog>([&](QFontDialog *fonts) {
                started = fonts->currentFont();
                DialogButton(fonts, QDialogButtonBox::Ok)->click();
            });
            dialog.NewFontBtn->click();
            dialog.CancelBtn->click();
        });
        QString text;
        dialog.Execute(nullptr, text);
        QCOMPARE(started.family(), QFontInfo(QFont("Arial")).family()); // the family that shows "Arial"
        QCOMPARE(started.pointSize(), 10);
        QCOMPARE((w->NewTextFont()).Name, QStringLiteral("Arial")); // confirmed unchanged: the name stays
        QCOMPARE((w->NewTextFont()).Size, 10);

        (w->NewTextFont()).Size = 14;
        (w->NewTextFont()).Style = StyleBold;
        Answer<TAddTextForm>([&](TAddTextForm *) {
            Answer<QFontDialog>([&](QFontDialog *fonts) {
                started = fonts->currentFont();
                QFont other = fonts->currentFont();
                other.setFamily(QStringLiteral("DejaVu Serif"));
                fonts->setCurrentFont(other);
                DialogButton(fonts, QDialogButtonBox::Ok)->click();
            });
            dialog.NewFontBtn->click();
            dialog.CancelBtn->click();
        });
        dialog.Execute(nullptr, text);
        QCOMPARE(started.pointSize(), 14);
        QVERIFY(started.bold());
        QCOMPARE((w->NewTextFont()).Name, QFontInfo(QFont("DejaVu Serif")).family()); // another choice is taken
    }

    void openingShowsTheFirstSheetFromTheTopLeft()
    {
        Window w;
        w->resize(500, 400);
        w->SettingsBand().zoomEdit->setValue(200);
        w->SettingsBand().pageCountEdit->setValue(3);
        QScrollBar *h = w->Surface().horizontalScrollBar(), *v = w->Surface().verticalScrollBar();
        QTRY_VERIFY(v->maximum() > 1000 && h->maximum() > 100);
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        w.AnswerDialogs();
        w.answer = SessionPrompts::Answer::No;
        w.openPath = QStringLiteral(TEST_DATA_DIR "/full.vlm");
        w.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w->Session().Drawing().Objects.Count, 4);
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);
    }

    // Texts stored larger than the font dialog's 512 points are drawn at 512: the window says
    // so once when the drawing opens, and saving keeps the stored sizes.
    void largeStoredTextsAreToldOfAndKept()
    {
        Window w;
        DrawingState drawing;
        {
            DrawingBuilder texts(drawing);
            texts.Text(20, 30, QStringLiteral("Riesig"), 2000);
            texts.Text(20, 120, QStringLiteral("Groß"), 600);
            texts.Text(20, 200, QStringLiteral("Klein"), 20);
        }
        const QString path = w.Path("texte.vlm"), again = w.Path("texte2.vlm");
        QVERIFY(WriteAll(path, WriteDrawingFile(drawing, DrawingFileSettings())));
        QString told;
        AnswerBox(QMessageBox::Ok, &told);
        w->OpenFromOutside(path);
        QVERIFY2(told.contains("größer als 512 Punkt") && told.contains("Anzahl: 2"), qPrintable(told));
        QVERIFY(!QApplication::activeModalWidget());
        w.SaveAs(again);
        DrawingState read;
        DrawingFileSettings settings;
        QCOMPARE(LoadDrawingFile(again, read, settings), DrawingFileError::None);
        QCOMPARE(read.Texts.At(0).Size, 2000);
        QCOMPARE(read.Texts.At(1).Size, 600);
        // A drawing whose texts are all within the dialog's sizes opens without a word.
        w.AnswerDialogs();
        {
            EditTransaction edit(drawing, QStringLiteral("test"));
            edit.ChangeText(0).Size = 512;
            edit.DeleteText(1);
            edit.Finish();
        }
        QVERIFY(WriteAll(path, WriteDrawingFile(drawing, DrawingFileSettings())));
        w->OpenFromOutside(path);
        QCOMPARE(w->Session().Drawing().Texts.Count, 2);
        QVERIFY(w.information.isEmpty());
    }

    void printingToPdf()
    {
        Window w;
        QTemporaryDir files;
        w.SaveAs(files.filePath("Dreieck.vlm"));
        const QString pdf = files.filePath("gedruckt.pdf");
        // Printer setup and print agree: both offer the printers, printing to PDF among them.
        // The setup's button keeps the choice and prints nothing (before, it said "Drucken").
        QString title, button;
        Answer<QPrintDialog>([&](QPrintDialog *setup) {
            title = setup->windowTitle();
            QTest::keyClick(setup, Qt::Key_Escape);
        });
        w->Menus().printerSetupAction->trigger();
        QCOMPARE(title, QStringLiteral("Drucker einrichten"));
        Answer<QPrintDialog>([&](QPrintDialog *setup) {
            auto *printers = setup->findChild<QComboBox *>("printers");
            printers->setCurrentIndex(printers->findText("PDF", Qt::MatchContains));
            setup->findChild<QLineEdit *>("filename")->setText(pdf);
            QAbstractButton *keep = DialogButton(setup, QDialogButtonBox::Ok);
            button = keep->text();
            keep->click();
        });
        w->Menus().printerSetupAction->trigger();
        QCOMPARE(button, QStringLiteral("Übernehmen"));
        QVERIFY(!QFileInfo::exists(pdf));
        QCOMPARE(w->Printer().outputFileName(), pdf);
        QString message;
        w.Find<TSeiteEinrichtenForm>().ShowMessage = [&](const QString &text) { message = text; };
        Answer<TSeiteEinrichtenForm>([&](TSeiteEinrichtenForm *setup) {
            setup->VonDruckerBtn->click();
            QTest::keyClick(setup, Qt::Key_Escape);
        });
        w->Menus().pageSetupAction->trigger();
        QCOMPARE(message, QString());
        QVERIFY(w.Find<TSeiteEinrichtenForm>().breited->value() > 150);

        Answer<QPrintDialog>([](QPrintDialog *print) { DialogButton(print, QDialogButtonBox::Ok)->click(); });
        w.Key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(PdfInfo(pdf).contains(QRegularExpression("Title: +Dreieck\n")));
        // The frame shows on all four edges of the page.
        const QImage page = PdfPage(pdf, 150);
        QVERIFY(!page.isNull());
        QVERIFY(DarkInColumns(page, 0, 3) > page.height() / 3);
        QVERIFY(DarkInColumns(page, page.width() - 3, page.width()) > page.height() / 3);
        QVERIFY(DarkInRows(page, 0, 3) > page.width() / 3);
        QVERIFY(DarkInRows(page, page.height() - 3, page.height()) > page.width() / 3);
    }

    // The export proposes the drawing's name in the format used last, and asks for dots per
    // inch only for BMP and PNG (before: no name, always BMP, always the dots per inch).
    void exportDialogHasItsOwnTitle()
    {
        Window w;
        QTemporaryDir files;
        w.SaveAs(files.filePath("Viereck.vlm"));
        QString title, proposed, type;
        bool dpiAsked = true;
        const auto exportAs = [&](const QString &name) {
            Answer<QFileDialog>([&, name](QFileDialog *save) {
                title = save->windowTitle();
                auto *edit = save->findChild<QLineEdit *>("fileNameEdit");
                proposed = edit->text();
                type = save->selectedNameFilter();
                edit->setText(files.filePath(name));
                QTest::keyClick(edit, Qt::Key_Return);
            });
            Answer<TDPIForm>([&](TDPIForm *dpi) {
                dpiAsked = dpi->DPIED->isVisible();
                dpi->BitBtn1->click();
            });
            w->Menus().exportAction->trigger();
        };
        exportAs("blatt.pdf");
        QCOMPARE(proposed, QStringLiteral("Viereck.bmp"));
        QVERIFY(!dpiAsked);
        QCOMPARE(title, QStringLiteral("Als Bild exportieren"));
        QVERIFY(PdfInfo(files.filePath("blatt.pdf")).contains(QRegularExpression("Title: +Viereck\n")));
        const QImage page = PdfPage(files.filePath("blatt.pdf"), 150);
        QVERIFY(DarkInColumns(page, page.width() - 3, page.width()) > page.height() / 3);
        exportAs("blatt.png");
        QCOMPARE(proposed, QStringLiteral("Viereck.pdf"));
        QVERIFY(type.contains("*.pdf"));
        QVERIFY(dpiAsked);
        QVERIFY(!QImage(files.filePath("blatt.png")).isNull());
        // Open keeps Qt's own title.
        Answer<QFileDialog>([&](QFileDialog *open) {
            title = open->windowTitle();
            QTest::keyClick(open, Qt::Key_Escape);
        });
        w->Session().Prompts().AskFileName(FileChoice::OpenDrawing, QString());
        QCOMPARE(title, QStringLiteral("Öffnen"));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
