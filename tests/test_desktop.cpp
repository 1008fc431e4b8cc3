// What a user of any desktop expects of the main window, tried through its keys, menus and
// dialogs: titles, shortcuts, mnemonics, Escape, Qt's texts in the chosen language, a history
// that knows the saved state, icons, the font dialog, opening, printing and the export dialog.
#include "app/command_icons.h"
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "i18n/options_file.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QScrollBar>
#include <QtTest>

using namespace velmora;

namespace {

struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    explicit Window(int language = LanguageGerman)
    {
        WriteOptionsFile(dir.filePath("options.dat"), language);
        form = std::make_unique<TMainForm>(dir.path());
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    ~Window()
    {
        form->State.Modified = false;
        form->AskYesNoCancel = [](const QString &, const QString &) { return QMessageBox::No; };
    }
    TMainForm *operator->() { return form.get(); }
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

// Runs `answer` on the next modal dialog of that kind, while the code under test waits in
// its exec(); the dialog is looked for until it shows up.
template <typename Dialog>
void Answer(const std::function<void(Dialog *)> &answer)
{
    auto *poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog) {
            qWarning("the dialog did not show up");
            return;
        }
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        answer(dialog);
    });
    poll->start(10);
}

QAbstractButton *DialogButton(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    for (auto *box : dialog->findChildren<QDialogButtonBox *>())
        if (QAbstractButton *button = box->button(which))
            return button;
    return nullptr;
}

QPushButton *DefaultButton(QWidget *dialog)
{
    for (auto *button : dialog->findChildren<QPushButton *>())
        if (button->isDefault())
            return button;
    return nullptr;
}

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
        QCOMPARE(Probe(w).DPIForm->windowTitle(), QStringLiteral("DPI festlegen"));
        Probe(w).ZirkelKreiszeichnen1->trigger();
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
            {Probe(w).Neu1, "Ctrl+N"},       {Probe(w).ffnen1, "Ctrl+O"},          {Probe(w).Speichern1, "Ctrl+S"},
            {Probe(w).Speichernunter1, "Ctrl+Shift+S"}, {Probe(w).DateiDrucken1, "Ctrl+P"}, {Probe(w).Beenden1, "Ctrl+Q"},
            {Probe(w).Rueckgaengig1, "Ctrl+Z"}, {Probe(w).Wiederherstellen1, "Ctrl+Shift+Z"}};
        for (const auto &[item, key] : items)
            QCOMPARE(item->shortcut().toString(), key);
        QVERIFY(Probe(w).Wiederherstellen1->shortcuts().contains(ctrlY));
        // No key belongs to two commands (Qt would then run neither).
        QList<QKeySequence> all;
        for (QAction *action : w->findChildren<QAction *>())
            for (const QKeySequence &key : action->shortcuts()) {
                QVERIFY2(!all.contains(key), qPrintable(key.toString()));
                all << key;
            }

        // The keys reach the commands.
        int saveDialogs = 0, openDialogs = 0;
        w->AskSaveFileName = [&](const FileDialogFilter &) { ++saveDialogs; return QString(); };
        w->AskOpenFileName = [&](const FileDialogFilter &) { ++openDialogs; return QString(); };
        w.Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(saveDialogs, 1);
        w.Key(Qt::Key_S, Qt::ControlModifier); // untitled: Save asks for a name
        QCOMPARE(saveDialogs, 2);
        w.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(openDialogs, 1);
        Probe(w).ZirkelKreiszeichnen1->trigger();
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->State.Objects.Count, 0);
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w->State.Objects.Count, 1);
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w->State.Objects.Count, 1);
        w->AskYesNoCancel = [](const QString &, const QString &) { return QMessageBox::No; };
        w.Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w->State.Objects.Count, 0);
        Answer<QPrintDialog>([](QPrintDialog *print) { QTest::keyClick(print, Qt::Key_Escape); });
        w.Key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(!QApplication::activeModalWidget());
        w.Key(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
    }

    void menusAndDialogsByKeyboard()
    {
        Window w;
        QCOMPARE(Probe(w).Datei1->title(), QStringLiteral("&Datei"));
        QCOMPARE(Probe(w).Bearbeiten1->title(), QStringLiteral("&Bearbeiten"));
        QCOMPARE(Probe(w).Speichernunter1->text(), QStringLiteral("Speichern &unter..."));
        w.Key(Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(Probe(w).Datei1->isVisible());
        QTest::keyClick(Probe(w).Datei1, Qt::Key_Escape);
        QTRY_VERIFY(!Probe(w).Datei1->isVisible());
        w.Key(Qt::Key_F10);
        QTRY_VERIFY(Probe(w).Datei1->isVisible());
        QTest::keyClick(Probe(w).Datei1, Qt::Key_Escape);
        QTRY_VERIFY(!Probe(w).Datei1->isVisible());

        // Every dialog has a default button and closes with Escape without doing anything.
        int saveDialogs = 0;
        w->AskSaveFileName = [&](const FileDialogFilter &) { ++saveDialogs; return QString(); };
        QStringList defaults;
        auto escape = [&](QDialog *dialog) {
            if (QPushButton *button = DefaultButton(dialog))
                defaults << button->objectName();
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        };
        Answer<QDialog>(escape);
        Probe(w).DateiAlsBildexportieren1->trigger();
        QCOMPARE(saveDialogs, 0);
        Answer<QDialog>(escape);
        Probe(w).DateiSeiteeinrichten1->trigger();
        QVERIFY(!w->State.Modified);
        Probe(w).TextTexthinzufgen1->trigger();
        Answer<QDialog>(escape);
        QTest::mouseClick(Probe(w).PaintBox1, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(w->State.Texts.Count, 0);
        w->ShowInformation = [](const QString &, const QString &) {};
        Answer<QDialog>(escape);
        Probe(w).Sprachebersetzen1->trigger();
        QCOMPARE(defaults, (QStringList{"BitBtn1", "BitBtnXP1", "OkBtn", "FilterBtn"}));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void escapeCancelsACurve()
    {
        Window w;
        Probe(w).Kurven1->trigger();
        QTest::mouseClick(Probe(w).PaintBox1, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(Probe(w).PaintBox1, Qt::LeftButton, {}, QPoint(300, 100));
        QTest::mouseMove(Probe(w).PaintBox1, QPoint(200, 300));
        const Gesture *under = w->Dispatch.Active();
        QVERIFY(under && std::holds_alternative<Curve>(*under) && std::get<Curve>(*under).Placed == Curve::Stage::End);
        w.Key(Qt::Key_Escape);
        QVERIFY(!w->Dispatch.Active());
        QVERIFY(w->SurfaceOverlay.IsEmpty()); // the rubber band is gone
        // The next four clicks make a curve of their own.
        for (QPoint p : {QPoint(50, 50), QPoint(250, 50), QPoint(100, 150), QPoint(200, 150)})
            QTest::mouseClick(Probe(w).PaintBox1, Qt::LeftButton, {}, p);
        QCOMPARE(w->State.Objects.Count, 1);
        QCOMPARE(w->State.Objects.At(0).X1 * w->View.PixelsPerMm(), 45.0);
    }

    void qtTextsFollowTheLanguage()
    {
        const std::pair<int, QString> cases[] = {
            {LanguageGerman, "Abbrechen"}, {LanguageEnglish, "Cancel"}, {LanguageItalian, "Annulla"}};
        for (const auto &[language, cancel] : cases) {
            Window w(language);
            Probe(w).ZirkelKreiszeichnen1->trigger();
            QString shown;
            Answer<QMessageBox>([&shown](QMessageBox *box) {
                shown = box->button(QMessageBox::Cancel)->text();
                box->button(QMessageBox::Cancel)->click();
            });
            Probe(w).Neu1->trigger();
            QCOMPARE(shown, cancel);
            QCOMPARE(w->State.Objects.Count, 1); // cancelled
            Answer<QFileDialog>([&shown](QFileDialog *files) {
                shown = DialogButton(files, QDialogButtonBox::Cancel)->text();
                QTest::keyClick(files, Qt::Key_Escape);
            });
            w->AskOpenFileName(*Probe(w).OpenDialog1);
            QCOMPARE(shown, cancel);
        }
    }

    void undoKnowsTheSavedState()
    {
        Window w;
        QTemporaryDir files;
        const QString path = files.filePath("Dreieck.vlm");
        w->AskSaveFileName = [&](const FileDialogFilter &) { return path; };
        int questions = 0;
        w->AskYesNoCancel = [&](const QString &, const QString &) { ++questions; return QMessageBox::Cancel; };

        Probe(w).ZirkelKreiszeichnen1->trigger();
        w.Key(Qt::Key_Z, Qt::ControlModifier); // back to the new, empty drawing
        QVERIFY(!w.Starred() && !w->State.Modified);
        w.Key(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(w.Starred());
        w.Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.Starred());
        Probe(w).ZirkelKreiszeichnen1->trigger();
        QVERIFY(w.Starred());
        w.Key(Qt::Key_Z, Qt::ControlModifier); // back to what was saved
        QCOMPARE(w->windowTitle(), "Brandok Velmora 1.0 - [" + path + "]");
        w.Key(Qt::Key_Z, Qt::ControlModifier); // before the save
        QVERIFY(w.Starred());
        w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!w.Starred());
        w->close();
        QCOMPARE(questions, 0); // nothing to ask about
        QVERIFY(!w->isVisible());

        // Typing "10" into the sheet count is one step, not two.
        Window p;
        Probe(p).PageAnz->setValue(3);
        Probe(p).ZirkelKreiszeichnen1->trigger();
        const int steps = p->History.count();
        Probe(p).PageAnz->setFocus();
        QTest::keyClick(Probe(p).PageAnz, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Probe(p).PageAnz, "10");
        QCOMPARE(Probe(p).PageAnz->value(), 10);
        QCOMPARE(p->History.count(), steps + 1);
        Probe(p).Rueckgaengig1->trigger();
        QCOMPARE(Probe(p).PageAnz->value(), 3);
        // Up and back down again leaves no step at all.
        QTest::keyClick(Probe(p).PageAnz, Qt::Key_Up);
        QTest::keyClick(Probe(p).PageAnz, Qt::Key_Down);
        QCOMPARE(p->History.count(), steps);
        QCOMPARE(p->History.undoText(), QStringLiteral("Kreis"));
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
        QWidget *undo = Probe(w).IconItems->widgetForAction(Probe(w).UndoIcon);
        const QImage off = undo->grab().toImage();
        Probe(w).ZirkelKreiszeichnen1->trigger();
        QVERIFY(undo->isEnabled());
        const QImage on = undo->grab().toImage();
        QVERIFY(Differing(off, on) > 60);
        QCOMPARE(Probe(w).DateiDrucken1->icon().cacheKey(), w->findChild<QAction *>("N9")->icon().cacheKey());
    }

    void fontDialogStartsAtTheTextsFont()
    {
        Window w;
        TAddTextForm &dialog = *Probe(w).AddTextForm;
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
        QCOMPARE(Probe(w).FontDialog1.Name, QStringLiteral("Arial")); // confirmed unchanged: the name stays
        QCOMPARE(Probe(w).FontDialog1.Size, 10);

        Probe(w).FontDialog1.Size = 14;
        Probe(w).FontDialog1.Style = StyleBold;
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
        QCOMPARE(Probe(w).FontDialog1.Name, QFontInfo(QFont("DejaVu Serif")).family()); // another choice is taken
    }

    void openingShowsTheFirstSheetFromTheTopLeft()
    {
        Window w;
        w->resize(500, 400);
        Probe(w).zoomed->setValue(200);
        Probe(w).PageAnz->setValue(3);
        QScrollBar *h = Probe(w).ScrollBox1->horizontalScrollBar(), *v = Probe(w).ScrollBox1->verticalScrollBar();
        QTRY_VERIFY(v->maximum() > 1000 && h->maximum() > 100);
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        w->AskYesNoCancel = [](const QString &, const QString &) { return QMessageBox::No; };
        w->AskOpenFileName = [](const FileDialogFilter &) { return QStringLiteral(TEST_DATA_DIR "/full.vlm"); };
        w.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w->State.Objects.Count, 4);
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);
    }

    void printingToPdf()
    {
        Window w;
        QTemporaryDir files;
        w->State.FileName = files.filePath("Dreieck.vlm");
        const QString pdf = files.filePath("gedruckt.pdf");
        QPrinter &printer = w->CurrentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        // Printer setup and print agree: both offer the printers, printing to PDF among them.
        QString title;
        Answer<QPrintDialog>([&](QPrintDialog *setup) {
            title = setup->windowTitle();
            QTest::keyClick(setup, Qt::Key_Escape);
        });
        Probe(w).Druckereinrichten1->trigger();
        QCOMPARE(title, QStringLiteral("Drucker einrichten"));
        QString message;
        Probe(w).SeiteEinrichtenForm->ShowMessage = [&](const QString &text) { message = text; };
        Answer<TSeiteEinrichtenForm>([&](TSeiteEinrichtenForm *setup) {
            setup->VonDruckerBtn->click();
            QTest::keyClick(setup, Qt::Key_Escape);
        });
        Probe(w).DateiSeiteeinrichten1->trigger();
        QCOMPARE(message, QString());
        QVERIFY(Probe(w).SeiteEinrichtenForm->breited->value() > 150);

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

    void exportDialogHasItsOwnTitle()
    {
        Window w;
        QTemporaryDir files;
        w->State.FileName = files.filePath("Viereck.vlm");
        QString title;
        Answer<TDPIForm>([&](TDPIForm *dpi) {
            Answer<QFileDialog>([&](QFileDialog *save) {
                title = save->windowTitle();
                auto *name = save->findChild<QLineEdit *>("fileNameEdit");
                name->setText(files.filePath("blatt.pdf"));
                QTest::keyClick(name, Qt::Key_Return);
            });
            dpi->BitBtn1->click();
        });
        Probe(w).DateiAlsBildexportieren1->trigger();
        QCOMPARE(title, QStringLiteral("Als Bild exportieren"));
        QVERIFY(PdfInfo(files.filePath("blatt.pdf")).contains(QRegularExpression("Title: +Viereck\n")));
        const QImage page = PdfPage(files.filePath("blatt.pdf"), 150);
        QVERIFY(DarkInColumns(page, page.width() - 3, page.width()) > page.height() / 3);
        // Open keeps Qt's own title.
        Answer<QFileDialog>([&](QFileDialog *open) {
            title = open->windowTitle();
            QTest::keyClick(open, Qt::Key_Escape);
        });
        w->AskOpenFileName(*Probe(w).OpenDialog1);
        QCOMPARE(title, QStringLiteral("Öffnen"));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
