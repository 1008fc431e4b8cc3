// Page setup, image export, printing to PDF and the batch exporter, with real files.
#include "support/drawing_builder.h"
#include "support/window_fixture.h"

#include "render/output/sheet_export.h"

#include <QBuffer>
#include <QLineEdit>
#include <QPdfWriter>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

using namespace velmora;

namespace {

// A window whose questions the test answers, and the page setup's messages it keeps.
struct Window : WindowFixture {
    QStringList messages;
    Window()
    {
        Find<TSeiteEinrichtenForm>().ShowMessage = [this](const QString &text) { messages << text; };
    }
    // Saved: the drawing is unchanged again.
    void Save()
    {
        savePath = Path("saved.vlm");
        form->Menus().saveAction->trigger();
    }
};

void Type(DecimalEdit *edit, const QString &text)
{
    edit->findChild<QLineEdit *>()->setText(text);
}

int PdfPages(const QByteArray &pdf)
{
    return int(pdf.count("/Type /Page\n"));
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void pageSetup()
    {
        Window w;
        TSeiteEinrichtenForm &dialog = w.Find<TSeiteEinrichtenForm>();
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(dialog.mmcheck->isChecked());
            QCOMPARE(dialog.breited->text(), QStringLiteral("210,00"));
            QCOMPARE(dialog.hoched->text(), QStringLiteral("297,00"));
            dialog.zollcheck->setChecked(true);
            Type(dialog.breited, "8,5");
            Type(dialog.hoched, "11");
            dialog.BitBtnXP1->click();
        });
        w->Menus().pageSetupAction->trigger();
        QCOMPARE(w->Session().Document().PageWidthInch, 8.5);
        QCOMPARE(w->Session().Document().PageHeightInch, 11.0);
        QVERIFY(w->Session().IsModified());

        w.Save();
        QTimer::singleShot(0, &dialog, [&] {
            QCOMPARE(dialog.breited->text(), QStringLiteral("215,90"));
            QCOMPARE(dialog.hoched->text(), QStringLiteral("279,40"));
            dialog.BitBtnXP1->click(); // OK without a change
        });
        const int steps = w->Session().History().count();
        w->Menus().pageSetupAction->trigger();
        QVERIFY(!w->Session().IsModified()); // nothing changed, nothing recorded
        QCOMPARE(w->Session().History().count(), steps);
        QCOMPARE(w->Session().Document().PageWidthInch, 8.5); // the exact size, not the two decimals shown

        QTimer::singleShot(0, &dialog, [&] {
            dialog.zollcheck->setChecked(true);
            dialog.BitBtnXP5->click(); // A3 landscape switches back to mm
            QVERIFY(dialog.mmcheck->isChecked());
            Type(dialog.hoched, "0");
            dialog.BitBtnXP1->click(); // refused: the dialog stays
            Type(dialog.hoched, "abc");
            dialog.BitBtnXP1->click();
            QVERIFY(dialog.isVisible());
            // This machine has no printer of its own; printing to PDF counts as one, so the
            // printable part of its page is taken, in whole millimetres.
            dialog.VonDruckerBtn->click();
            QVERIFY(dialog.breited->value() > 150 && dialog.hoched->value() > 250);
            QCOMPARE(dialog.breited->value(), std::round(dialog.breited->value()));
            dialog.close(); // the close box cancels
        });
        w.Save();
        w->Menus().pageSetupAction->trigger();
        QCOMPARE(w.messages.size(), 2);
        QCOMPARE(w.messages[0], QStringLiteral("Breite und Höhe müssen Zahlen größer als 0 sein."));
        QCOMPARE(w->Session().Document().PageHeightInch, 11.0); // nothing changed
        QVERIFY(!w->Session().IsModified());
    }

    // Before, a line on sheet 2 of two vanished when the sheets turned to landscape, since
    // positions count down the stack of sheets. Now the sheets grow with it, in one step.
    void lowerSheetKeepsTheDrawingOnSheets()
    {
        Window w;
        TSeiteEinrichtenForm &dialog = w.Find<TSeiteEinrichtenForm>();
        const auto landscape = [&] {
            QTimer::singleShot(0, &dialog, [&] {
                dialog.BitBtnXP3->click();
                dialog.BitBtnXP1->click();
            });
            w->Menus().pageSetupAction->trigger();
        };
        const auto shown = [&](double heightInch, int sheets) {
            return qFuzzyCompare(w->Session().Document().PageHeightInch, heightInch) &&
                   w->SettingsBand().pageCountEdit->value() == sheets && w->Session().Settings().SheetCount == sheets;
        };
        w->SettingsBand().pageCountEdit->setValue(2);
        w.AddLine(20, 500, 190, 500, 0.5); // on sheet 2; beyond two landscape sheets (420 mm)
        const int steps = w->Session().History().count();
        landscape();
        QVERIFY(shown(A4WidthInch, 3));
        QCOMPARE(w.information, QStringList("Die Seitenanzahl ist auf 3 gestiegen, damit alles Gezeichnete auf den "
                                            "Seiten bleibt."));
        QCOMPARE(w->Session().History().count(), steps + 1);
        w->Menus().undoAction->trigger();
        QVERIFY(shown(A4HeightInch, 2));
        w->Menus().redoAction->trigger();
        QVERIFY(shown(A4WidthInch, 3));
        w->Menus().undoAction->trigger();

        // Needing more than ten sheets, the user is asked first; No leaves everything as it was.
        w->SettingsBand().pageCountEdit->setValue(10);
        w.AddLine(20, 2900, 190, 2900, 0.5); // on sheet 10; landscape would need 14
        landscape();
        QCOMPARE(w.questions.size(), 1);
        QVERIFY(w.questions[0].contains("Auf 10 Seiten dieser Größe hat nicht alles Gezeichnete Platz"));
        QVERIFY(shown(A4HeightInch, 10));
        w.yesNoAnswer = SessionPrompts::Answer::Yes;
        landscape();
        QVERIFY(shown(A4WidthInch, 10));
        QCOMPARE(w.information.size(), 1);
    }

    // Before, 999,999,999 mm was taken, and the ruler then drew a tick for every millimetre.
    void pageSetupKeepsTheSheetWithinTheLimits()
    {
        TSeiteEinrichtenForm dialog;
        QStringList messages;
        dialog.ShowMessage = [&](const QString &text) { messages << text; };
        double width = A4WidthInch, height = A4HeightInch;
        PaperKind paper = PaperKind::Plain;
        QTimer::singleShot(0, &dialog, [&] {
            Type(dialog.breited, "999999999");
            dialog.BitBtnXP1->click(); // refused: the dialog stays
            Type(dialog.breited, "0,05");
            dialog.BitBtnXP1->click();
            dialog.zollcheck->setChecked(true);
            Type(dialog.breited, "201");
            Type(dialog.hoched, "200");
            dialog.BitBtnXP1->click();
            QVERIFY(dialog.isVisible());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QVERIFY(!dialog.Execute(width, height, paper));
        QCOMPARE(messages, QStringList(3, "Breite und Höhe müssen zwischen 0,1 und 5080 mm (200 Zoll) liegen."));
        QCOMPARE(width, A4WidthInch);
        QTimer::singleShot(0, &dialog, [&] {
            Type(dialog.breited, "5080");
            Type(dialog.hoched, "0,1");
            dialog.BitBtnXP1->click();
        });
        QVERIFY(dialog.Execute(width, height, paper));
        QCOMPARE(width * MmPerInch, 5080.0);
        QCOMPARE(height * MmPerInch, 0.1);
    }

    void bmpExportAtOneFiftyDpi()
    {
        Window w;
        DrawingBuilder(w->Session().Document()).Line(20, 100, 190, 100, 1);
        w.exportPath = w.dir.filePath("sheet.bmp");
        QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] {
            QCOMPARE(w.Find<TDPIForm>().DPIED->value(), 150);
            w.Find<TDPIForm>().BitBtn1->click();
        });
        w->Menus().exportAction->trigger();
        QVERIFY(w.errors.isEmpty());
        QFile file(w.exportPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        const int width = qFromLittleEndian<qint32>(bmp.constData() + 18);
        const int height = qFromLittleEndian<qint32>(bmp.constData() + 22);
        QCOMPARE(width, 1240);
        QCOMPARE(height, 1754);
        QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(24));
        const int rowBytes = (width * 3 + 3) / 4 * 4;
        QCOMPARE(bmp.size(), 54 + rowBytes * height);
        auto pixel = [&](int x, int y) { // y from the top
            const char *p = bmp.constData() + 54 + qsizetype(height - 1 - y) * rowBytes + 3 * x;
            return qRgb(uchar(p[2]), uchar(p[1]), uchar(p[0]));
        };
        const int lineRow = qRound(100 * 150 / MmPerInch);
        QCOMPARE(qGray(pixel(600, lineRow)) < 60, true);   // the line
        QCOMPARE(qGray(pixel(600, lineRow + 20)) > 250, true); // paper
        QCOMPARE(qGray(pixel(40 * 150 / 25, qRound(90 * 150 / MmPerInch))) > 250, true); // no ruler in the image

        // A sheet beyond the drawing is refused; a PNG is chosen by its extension.
        QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] {
            w.Find<TDPIForm>().SeiteEd->setValue(2);
            w.Find<TDPIForm>().BitBtn1->click();
        });
        w->Menus().exportAction->trigger();
        QCOMPARE(w.errors, QStringList{"Die Zeichnung hat nur eine Seite."});
        w.exportPath = w.dir.filePath("sheet.png");
        w->SettingsBand().pageCountEdit->setValue(2);
        QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] { w.Find<TDPIForm>().BitBtn1->click(); });
        w->Menus().exportAction->trigger();
        QImage png(w.exportPath);
        QCOMPARE(png.size(), QSize(1240, 1754)); // sheet 2, empty
        QCOMPARE(qGray(png.pixel(600, lineRow)), 255);
        QCOMPARE(png.dotsPerMeterX(), 5906); // 150000 / 25.39995 pixels per metre
        QTimer::singleShot(0, &w.Find<TDPIForm>(), [&] {
            w.Find<TDPIForm>().SeiteEd->setValue(3);
            w.Find<TDPIForm>().BitBtn1->click();
        });
        w->Menus().exportAction->trigger();
        QCOMPARE(w.errors.value(1), QStringLiteral("Die Zeichnung hat nur 2 Seiten."));
    }

    void storedHalfSheetCountRoundsToEvenEverywhere()
    {
        // A file holding 2.5 sheets shows 2 in the window and exports 2; 3.5 gives 4 in both.
        Window w;
        w.openPath = w.dir.filePath("half.vlm");
        const QString exporter = QStringLiteral(VELMORA_EXPORT);
        for (const auto &[stored, sheets] : {std::pair{2.5, 2}, std::pair{3.5, 4}, std::pair{0.5, 1}}) {
            DrawingFileSettings settings;
            settings.PageCount = stored;
            QFile file(w.dir.filePath("half.vlm"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(WriteDrawingFile(DrawingState(), settings));
            file.close();
            w->Menus().openAction->trigger();
            QCOMPARE(w->SettingsBand().pageCountEdit->value(), sheets);
            QVERIFY(!w->Session().IsModified());
            QProcess run;
            run.start(exporter, {file.fileName(), "--all", "-o", w.dir.filePath("half.pdf")});
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitCode(), 0);
            QFile pdf(w.dir.filePath("half.pdf"));
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QCOMPARE(PdfPages(pdf.readAll()), sheets);
        }
        QVERIFY(w.errors.isEmpty());
    }

    void pdfOfThreeSheets()
    {
        DrawingState state;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter pdf(&buffer);
            pdf.setResolution(1200);
            PaintSheetsOnPages(pdf, state, 3, 0, 2);
        }
        const QByteArray bytes = buffer.data();
        QCOMPARE(PdfPages(bytes), 3);
        QCOMPARE(int(bytes.count("/MediaBox [0 0 595.000000 842.000000]")), 3); // A4 in points
    }

    void batchExporter()
    {
        QTemporaryDir dir;
        const QString exporter = QStringLiteral(VELMORA_EXPORT);
        QProcess run;
        run.start(exporter, {QStringLiteral(TEST_DATA_DIR "/full.vlm"), "--all", "-o", dir.filePath("all.pdf")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QFile pdf(dir.filePath("all.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(PdfPages(pdf.readAll()), 3);

        run.start(exporter, {QStringLiteral(TEST_DATA_DIR "/full.vlm"), "--page", "2", "--dpi", "50", "-o",
                             dir.filePath("two.bmp")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(QImage(dir.filePath("two.bmp")).size(), QSize(585, 413)); // A4 landscape at 50 DPI

        run.start(exporter, {QStringLiteral(TEST_DATA_DIR "/damaged_count_huge.vlm"), "-o", dir.filePath("x.png")});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 1);
        QVERIFY(run.readAllStandardError().contains("damaged or not a drawing"));
        QVERIFY(!QFile::exists(dir.filePath("x.png")));

        run.start(exporter, {QStringLiteral(TEST_DATA_DIR "/full.vlm"), "--dpi", "5"});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 2);
        run.start(exporter, {"--help"});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QVERIFY(run.readAllStandardOutput().contains("Usage: velmora-export"));
    }
};

QTEST_MAIN(TestOutput)
#include "test_output.moc"
