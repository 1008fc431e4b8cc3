// Worksheets from the user's side in the window: "Arbeitsblatt öffnen...", a drop and the
// command line's way, each after the question about unsaved changes; the password and the
// page questions as the window shows them; refusals said with the drawing kept; the screen
// showing the sharp page once it was rendered, only where that page lies.
#include "worksheet_files.h"

#include "support/dialog_answers.h"
#include "support/file_drop.h"
#include "support/surface_stand_in.h"
#include "support/window_fixture.h"

#include "dialogs/worksheet_forms.h"
#include "session/user_settings.h"
#include "worksheet/page_images.h"

#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

struct Window : WindowFixture {
    Window() : WindowFixture() {}
    explicit Window(const WindowOptions &options) : WindowFixture(options) {}
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test's worksheet");
        return file.fileName();
    }
    const DrawingState &Drawing() { return Session().Drawing(); }
    int Sheets() { return Session().Settings().SheetCount; }
};

bool Black(QRgb p)
{
    return qGray(p) < 60;
}

} // namespace

class TestWorksheetWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { UserSettings()->clear(); }

    // The menu's command: a new drawing of the pages at their size on plain paper, no history,
    // unchanged, untitled, read once; the recent drawings stay; saving proposes the worksheet's
    // name beside it.
    void menuOpensANewDrawing()
    {
        Window w;
        w.AddLine(10, 10, 50, 10, 0.5);
        w.Session().ChangePageSetup({A4WidthInch, A4HeightInch, PaperKind::Squared5});
        const QStringList recent = RecentDrawings();
        w.worksheetPath = w.Write("blatt.pdf", MarkedPdf(3, {2}));
        w.answer = SessionPrompts::Answer::No; // the changes go
        QSignalSpy read(&w.Session(), &DocumentSession::DrawingRead);
        QSignalSpy changed(&w.Session(), &DocumentSession::DrawingChanged);
        w->Menus().openWorksheetAction->trigger();
        QCOMPARE(w.worksheetDialogs, 1);
        QCOMPARE(w.questions.size(), 1);
        QCOMPARE(read.size(), 1);
        QCOMPARE(changed.size(), 0);
        QVERIFY(w.Drawing().Background);
        QCOMPARE(int(w.Drawing().Background->Pages.size()), 3);
        QCOMPARE(w.Sheets(), 3);
        QVERIFY(std::abs(w.Drawing().PageWidthInch * MmPerInch - 297) < 0.5); // the page across
        QVERIFY(std::abs(w.Drawing().PageHeightInch * MmPerInch - 297) < 0.5);
        QCOMPARE(w.Drawing().Paper, PaperKind::Plain);
        QCOMPARE(w.Drawing().Objects.Count, 0);
        QCOMPARE(w.Session().History().count(), 0);
        QVERIFY(!w.Session().IsModified());
        QCOMPARE(w->windowTitle(), QStringLiteral("Brandok Velmora 1.0 - [unbenannt.vlm]"));
        QCOMPARE(RecentDrawings(), recent);

        w.savePath = w.dir.filePath("gespeichert.vlm");
        QVERIFY(w.Session().Files.Save());
        QCOMPARE(w.proposedNames.last(), w.dir.filePath("blatt.vlm"));
        QCOMPARE(RecentDrawings().first(), w.savePath);
    }

    // The question about unsaved changes: Cancel keeps the drawing, Yes saves it first.
    void questionBeforeOpening()
    {
        Window w;
        w.AddLine(10, 10, 50, 10, 0.5);
        const QString pdf = w.Write("blatt.pdf", MarkedPdf(1));
        w.answer = SessionPrompts::Answer::Cancel;
        QVERIFY(!w.Session().Worksheets.OpenFromOutside(pdf));
        QCOMPARE(w.Drawing().Objects.Count, 1);
        QVERIFY(!w.Drawing().Background && w.Starred());

        w.answer = SessionPrompts::Answer::Yes;
        w.savePath = w.dir.filePath("vorher.vlm");
        QVERIFY(w.Session().Worksheets.OpenFromOutside(pdf));
        QVERIFY(QFileInfo::exists(w.savePath));
        QVERIFY(w.Drawing().Background && w.Drawing().Objects.Count == 0);
        QVERIFY(w.Session().FileName().isEmpty());
    }

    // The question as the window asks it: Escape and the close button keep the drawing.
    void questionWaysOutKeep_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }
    void questionWaysOutKeep()
    {
        QFETCH(bool, escape);
        Window w(WindowOptions().WithRealDialogs());
        w.AddLine(10, 10, 50, 10, 0.5);
        Answer<QMessageBox>([escape](QMessageBox *box) {
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        w->OpenFromOutside(w.Write("blatt.pdf", MarkedPdf(1)));
        QCOMPARE(w.Drawing().Objects.Count, 1);
        QVERIFY(!w.Drawing().Background);
    }

    // A password asked again after a wrong one, until the user gives up or it opens; the
    // choice of pages of a long PDF. Giving up leaves the drawing as it was.
    void passwordAndPages()
    {
        Window w;
        w.AddLine(10, 10, 50, 10, 0.5);
        w.answer = SessionPrompts::Answer::No;
        const QString plain = w.Write("offen.pdf", MarkedPdf(1)), locked = w.dir.filePath("geschuetzt.pdf");
        QCOMPARE(QProcess::execute("qpdf", {"--encrypt", "geheim", "owner", "256", "--", plain, locked}), 0);
        w.passwords = {QByteArray("falsch")};
        QVERIFY(!w.Session().Worksheets.OpenFile(locked)); // wrong, then given up
        QCOMPARE(w.passwordAgain, (QList<bool>{false, true}));
        QCOMPARE(w.Drawing().Objects.Count, 1);
        w.passwords = {QByteArray("falsch"), QByteArray("geheim")};
        QVERIFY(w.Session().Worksheets.OpenFile(locked));
        QCOMPARE(w.Drawing().Background->Password, QByteArray("geheim"));
        w.AddLine(10, 10, 50, 10, 0.5);

        // A long PDF: which pages.
        const QString longPdf = w.Write("lang.pdf", MarkedPdf(12));
        QVERIFY(!w.Session().Worksheets.OpenFile(longPdf)); // no answer: given up
        QCOMPARE(w.pageQuestions, QList<int>{12});
        QCOMPARE(w.Drawing().Objects.Count, 1);
        w.pageChoices.push_back(std::pair{3, 10});
        QVERIFY(w.Session().Worksheets.OpenFile(longPdf));
        QCOMPARE(w.Sheets(), 10);
        QCOMPARE(w.Drawing().Background->Pages.front().Number, 3);
        QCOMPARE(w.Drawing().Background->Pages.back().Number, 12);
        QVERIFY(w.errors.isEmpty());
    }

    // The page question as the window shows it: each way out but OK leaves the drawing.
    void pagesDialogWaysOut_data() { AddWaysOut(); }
    void pagesDialogWaysOut()
    {
        QFETCH(QString, way);
        Window w(WindowOptions().WithRealDialogs());
        const QString longPdf = w.Write("lang.pdf", MarkedPdf(11));
        Answer<TWorksheetPagesForm>([way](TWorksheetPagesForm *form) {
            QVERIFY(form->AboutLabel->text().contains(QStringLiteral("11 Seiten")));
            form->FirstEd->setValue(2);
            LeaveDialog(form, way, form->OkBtn, form->CancelBtn);
        });
        w->OpenFromOutside(longPdf);
        QCOMPARE(bool(w.Drawing().Background), way == "ok");
        if (way == "ok")
            QCOMPARE(w.Drawing().Background->Pages.front().Number, 2);
    }

    // The password dialog as the window shows it: each way out but OK gives up.
    void passwordDialogWaysOut_data() { AddWaysOut(); }
    void passwordDialogWaysOut()
    {
        QFETCH(QString, way);
        Window w(WindowOptions().WithRealDialogs());
        Answer<TWorksheetPasswordForm>([way](TWorksheetPasswordForm *form) {
            QVERIFY(form->WrongLabel->isVisible());
            QTest::keyClicks(form->PasswordEd, QStringLiteral("geheim"));
            LeaveDialog(form, way, form->OkBtn, form->CancelBtn);
        });
        const std::optional<QByteArray> given = w->Prompts().AskWorksheetPassword(true);
        QCOMPARE(given.has_value(), way == "ok");
        if (given)
            QCOMPARE(*given, QByteArray("geheim"));
    }

    // Refusals: said with the file and the reason in German, the drawing kept.
    void refusalsKeepTheDrawing()
    {
        Window w;
        w.AddLine(10, 10, 50, 10, 0.5);
        w.answer = SessionPrompts::Answer::No;
        const struct {
            const char *name;
            QByteArray bytes;
            const char *reason;
        } bad[] = {
            {"kaputt.pdf", MarkedPdf(1).left(300), "die Datei ist beschädigt"},
            {"leer.pdf", HandPdf("", "", false), "das PDF hat keine Seiten"},
            {"text.png", "kein Bild", "die Datei ist weder ein PDF noch ein PNG- oder JPEG-Bild"},
            {"riesig.pdf", HandPdf("0 0 20000 842", "0 0 m 10 10 l S"), "eine Seite ist größer als das größte Blatt (5080 mm)"},
        };
        for (const auto &b : bad) {
            w.errors.clear();
            const QString path = w.Write(b.name, b.bytes);
            QVERIFY(!w.Session().Worksheets.OpenFile(path));
            QCOMPARE(w.errors.size(), 1);
            QVERIFY2(w.errors[0].startsWith("Das Arbeitsblatt kann nicht geöffnet werden:\n" + path + "\n\n"),
                     qPrintable(w.errors[0]));
            QVERIFY2(w.errors[0].contains(QString::fromUtf8(b.reason)), qPrintable(w.errors[0]));
            QCOMPARE(w.Drawing().Objects.Count, 1);
            QVERIFY(!w.Drawing().Background && w.Starred());
        }
    }

    // A drop of a PDF, a picture or a drawing is taken; other files are not.
    void dropOpensWorksheets()
    {
        Window w;
        bool accepted = true;
        Drop(w->Surface().paintBox, w.Write("notiz.txt", "Text"), &accepted);
        QVERIFY(!accepted);
        Drop(w->Surface().paintBox, w.Write("Scan.JPG", Picture(300, 400, "JPEG", 150)), &accepted);
        QVERIFY(accepted);
        QTRY_VERIFY(w.Drawing().Background);
        QCOMPARE(w.Drawing().Background->Kind, WorksheetKind::Picture);
        QVERIFY2(std::abs(w.Drawing().PageWidthInch - 2) < 0.01, // 300 pixels at 150 dpi
                 qPrintable(QString::number(w.Drawing().PageWidthInch)));
    }

    // The window shows the sharp page once it was rendered, without a repaint being asked.
    void sharpPageShows()
    {
        Window w;
        QVERIFY(w.WaitExposed());
        w.Session().SetZoom(50);
        w->OpenFromOutside(w.Write("blatt.pdf", MarkedPdf(1)));
        QVERIFY(w.Drawing().Background);
        const Mark m = MarkOnPage(0);
        const ViewGeometry view = w->Surface().CurrentView();
        const double s = view.PixelsPerMm;
        const QPoint mark = view.SheetOnSurface(0).topLeft() + QPoint(int(s * (m.X + 5)), int(s * (m.Y + 5)));
        QTRY_VERIFY_WITH_TIMEOUT(Black(w->Surface().paintBox->grab().toImage().pixel(mark)), 20000);
    }

    // Only the sheets whose page arrived are drawn anew: here the first, not the second
    // sheet, which has no page.
    void arrivedPageRepaintsItsSheet()
    {
        const ViewGeometry view = ComputeViewGeometry(2, 100, 96, 96, A4WidthInch, A4HeightInch);
        const QRect both(0, view.SheetOnSurface(0).bottom() - 300, 900, 600);
        SurfaceStandIn host(2, 100, both, 1);
        QTemporaryDir dir;
        QFile file(dir.filePath("blatt.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(MarkedPdf(1)) > 0);
        file.close();
        QVERIFY(host.Session.Worksheets.OpenFile(file.fileName()));
        host.Session.SetSheetCount(2);
        host.DrawingChanged();
        host.PaintAll();
        QVERIFY(WaitForPageImages(std::chrono::seconds(30)));
        const std::optional<QRegion> changed = host.Renderer.AcceptDrawing(host.Document(), host.Geometry(), SheetView{});
        QVERIFY(changed);
        QVERIFY(!changed->isEmpty());
        QVERIFY(view.SheetOnSurface(0).contains(changed->boundingRect()));
        // Nothing arrived since: nothing to draw.
        QVERIFY(host.Renderer.AcceptDrawing(host.Document(), host.Geometry(), SheetView{})->isEmpty());
    }
};

QTEST_MAIN(TestWorksheetWindow)
#include "test_worksheet_window.moc"
