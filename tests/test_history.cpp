// Undo and redo through the real window: each kind of step done, taken back to the same
// bytes and done again; mixed sequences; the history emptied by New and Open; its bound.
#include "app/desktop_keys.h"
#include "app/main_form.h"
#include "main_form_probe.h"
#include "document/drawing_file.h"
#include "i18n/options_file.h"

#include <QLineEdit>
#include <QtTest>

using namespace velmora;

namespace {

struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    Window()
    {
        WriteOptionsFile(dir.filePath("options.dat"), LanguageGerman);
        form = std::make_unique<TMainForm>(dir.path());
        form->ShowError = [](const QString &) {};
        form->show();
    }
    ~Window() { form->State.Modified = false; }
    TMainForm *operator->() { return form.get(); }

    // The drawing as bytes: every record with its padding, and the sheet size.
    QByteArray Bytes()
    {
        DrawingFileSettings fixed;
        fixed.PageWidthInch = form->State.PageWidthInch;
        fixed.PageHeightInch = form->State.PageHeightInch;
        fixed.PageCount = Probe(form).PageAnz->value();
        return WriteDrawingFile(form->State, fixed);
    }
    void Press(int x, int y) { form->Dispatch.MouseDown(PointerButton::Left, x, y); }
    void Move(int x, int y) { form->Dispatch.MouseMove(x, y); }
    void Release(int x, int y) { form->Dispatch.MouseUp(x, y); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from.x(), from.y());
        Move((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        Move(to.x(), to.y());
        Release(to.x(), to.y());
    }
    void AnswerTextDialog(const QString &text)
    {
        QTimer::singleShot(0, Probe(form).AddTextForm, [this, text] {
            Probe(form).AddTextForm->Memo1->setPlainText(text);
            Probe(form).AddTextForm->OkBtn->click();
        });
    }
};

// Does the action, then checks that one undo gives the bytes before and one redo those after.
void CheckStep(Window &w, const std::function<void()> &action, const QString &label)
{
    const QByteArray before = w.Bytes();
    const int steps = w->History.count();
    action();
    QCOMPARE(w->History.count(), steps + 1);
    QCOMPARE(w->History.undoText(), label);
    const QByteArray after = w.Bytes();
    QVERIFY(after != before);
    QCOMPARE(WithoutMnemonic(Probe(w).Rueckgaengig1->text()), "Rückgängig: " + label);
    Probe(w).Rueckgaengig1->trigger();
    QCOMPARE(w.Bytes(), before);
    QCOMPARE(w->State.Modified, !w->History.isClean()); // unchanged only when back at the start
    QCOMPARE(WithoutMnemonic(Probe(w).Wiederherstellen1->text()), "Wiederherstellen: " + label);
    Probe(w).Wiederherstellen1->trigger();
    QCOMPARE(w.Bytes(), after);
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void everyKindOfStep()
    {
        Window w;
        QVERIFY(!Probe(w).Rueckgaengig1->isEnabled());
        QCOMPARE(Probe(w).Rueckgaengig1->text(), QStringLiteral("&Rückgängig"));
        QCOMPARE(Probe(w).Bearbeiten1->title(), QStringLiteral("&Bearbeiten"));

        Probe(w).LinealAnLinealentlangzeichnen1->trigger();
        CheckStep(w, [&] { w.Drag({105, 205}, {305, 505}); }, "Linie");
        Probe(w).LinealQuerzumLinealzeichnen1->trigger();
        CheckStep(w, [&] { w.Drag({205, 205}, {205, 405}); }, "Linie");
        Probe(w).WinkelmesserGradzahlmitBleistiftmarkieren1->trigger();
        CheckStep(w, [&] { w.Drag({300, 150}, {350, 160}); }, "Gradmarkierung");
        Probe(w).ZirkelKreisbogenzeichnen1->trigger();
        CheckStep(w, [&] { w.Drag({700, 190}, {570, 330}); }, "Kreisbogen");
        CheckStep(w, [&] { Probe(w).ZirkelKreiszeichnen1->trigger(); }, "Kreis");

        Probe(w).Bleistift1->trigger();
        CheckStep(w, [&] {
            w.Press(100, 600);
            for (int i = 1; i <= 25; ++i)
                w.Move(100 + 4 * i, 600 + i % 5);
            w.Release(200, 600);
        }, "Bleistiftstrich"); // 25 segments, one step
        Probe(w).Radierer1->trigger();
        CheckStep(w, [&] { w.Drag({100, 600}, {200, 605}); }, "Radierstrich");
        Probe(w).Kurven1->trigger();
        CheckStep(w, [&] {
            for (QPoint p : {QPoint(50, 700), QPoint(250, 700), QPoint(100, 650), QPoint(200, 750)})
                w.Press(p.x(), p.y());
        }, "Kurve");

        Probe(w).TextTexthinzufgen1->trigger();
        CheckStep(w, [&] {
            w.AnswerTextDialog("Dreieck ABC");
            w.Press(400, 700);
        }, "Text hinzufügen");
        const TextObject &text = w->State.Texts.At(0);
        const double s = w->View.PixelsPerMm();
        const QPoint onText(qRound(text.Left * s) + 8, qRound(text.Top * s) + 8);
        Probe(w).TextTextndern1->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x(), onText.y());
            w.AnswerTextDialog("Dreieck DEF");
            w.Press(onText.x(), onText.y());
        }, "Text ändern");
        Probe(w).TextVerschieben1->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x(), onText.y());
            w.Drag(onText, onText + QPoint(40, 20));
        }, "Text verschieben");
        Probe(w).TextTextlschen1->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x() + 40, onText.y() + 20);
            w.Press(onText.x() + 40, onText.y() + 20);
        }, "Text löschen");

        const DrawingObject &line = w->State.Objects.At(0); // the first ruler line, y 90 mm
        const QPoint onLine(qRound((line.X1 + line.X2) / 2 * s) + 5, qRound(line.Y1 * s) + 5);
        Probe(w).ObjekteVerschieben1->trigger();
        CheckStep(w, [&] {
            w.Move(onLine.x(), onLine.y());
            w.Drag(onLine, onLine + QPoint(30, 40));
        }, "Objekt verschieben");
        Probe(w).ObjekteLschen1->trigger();
        CheckStep(w, [&] {
            w.Move(onLine.x() + 30, onLine.y() + 40);
            w.Press(onLine.x() + 30, onLine.y() + 40);
        }, "Objekt löschen");

        CheckStep(w, [&] {
            QTimer::singleShot(0, Probe(w).SeiteEinrichtenForm, [&] { Probe(w).SeiteEinrichtenForm->BitBtnXP3->click(); Probe(w).SeiteEinrichtenForm->BitBtnXP1->click(); });
            Probe(w).DateiSeiteeinrichten1->trigger();
        }, "Seite einrichten");
        CheckStep(w, [&] { Probe(w).PageAnz->setValue(3); }, "Seitenanzahl");
        QCOMPARE(Probe(w).PageAnz->value(), 3);

        // The whole sequence taken back to the empty drawing, then done again.
        const QByteArray all = w.Bytes();
        while (w->History.canUndo())
            Probe(w).Rueckgaengig1->trigger();
        QCOMPARE(w->State.Objects.Count, 0);
        QCOMPARE(w->State.Texts.Count, 0);
        QCOMPARE(Probe(w).PageAnz->value(), 1);
        QCOMPARE(w->State.PageWidthInch, A4WidthInch);
        while (w->History.canRedo())
            Probe(w).Wiederherstellen1->trigger();
        QCOMPARE(w.Bytes(), all);
        QVERIFY(!Probe(w).Wiederherstellen1->isEnabled());
    }

    void newAndOpenEmptyTheHistory()
    {
        Window w;
        Probe(w).ZirkelKreiszeichnen1->trigger();
        QVERIFY(Probe(w).Rueckgaengig1->isEnabled());
        w->AskYesNoCancel = [](const QString &, const QString &) { return QMessageBox::No; };
        Probe(w).Neu1->trigger();
        QCOMPARE(w->History.count(), 0);
        QVERIFY(!Probe(w).Rueckgaengig1->isEnabled());
        Probe(w).ZirkelKreiszeichnen1->trigger();
        w->AskOpenFileName = [](const FileDialogFilter &) { return QStringLiteral(TEST_DATA_DIR "/full.vlm"); };
        Probe(w).ffnen1->trigger();
        QCOMPARE(w->History.count(), 0);
        QCOMPARE(w->State.Objects.Count, 4);
    }

    void dragsAndCurvesAreNotDisturbed()
    {
        Window w;
        Probe(w).ZirkelKreiszeichnen1->trigger();
        Probe(w).Kurven1->trigger();
        w.Press(50, 700); // a curve under way
        Probe(w).Rueckgaengig1->trigger();
        QCOMPARE(w->State.Objects.Count, 0);
        QVERIFY(std::holds_alternative<Curve>(*w->Dispatch.Active())); // still under way
        Probe(w).Wiederherstellen1->trigger();
        Probe(w).Bleistift1->trigger();
        w.Press(100, 100); // the curve takes this press, not the pencil
        QCOMPARE(std::get<Curve>(*w->Dispatch.Active()).Placed, Curve::Stage::End);

        Window d;
        Probe(d).ZirkelKreiszeichnen1->trigger();
        Probe(d).Bleistift1->trigger();
        d.Press(100, 100);
        d.Move(120, 100);
        Probe(d).Rueckgaengig1->trigger(); // ignored while the stroke is drawn
        QCOMPARE(d->State.Objects.Count, 2);
        d.Release(120, 100);
        Probe(d).Rueckgaengig1->trigger();
        QCOMPARE(d->State.Objects.Count, 1);
    }

    void theHistoryIsBounded()
    {
        Window w;
        for (int i = 0; i < TMainForm::HistoryLimit + 50; ++i)
            Probe(w).ZirkelKreiszeichnen1->trigger();
        QCOMPARE(w->History.count(), TMainForm::HistoryLimit);
        int undone = 0;
        while (w->History.canUndo()) {
            w->History.undo();
            ++undone;
        }
        QCOMPARE(undone, TMainForm::HistoryLimit);
        QCOMPARE(w->State.Objects.Count, 50); // the oldest steps are forgotten, their objects stay
    }

    void stepSizes()
    {
        // What a step costs: the records it changed, before and after.
        DrawingState state;
        EditTransaction edit(state, QStringLiteral("Bleistiftstrich"));
        for (int i = 0; i < 100; ++i)
            *edit.AppendObject() = DrawingObject{};
        const std::optional<DrawingEdit> stroke = edit.Finish();
        QVERIFY(stroke);
        QCOMPARE(int(stroke->Objects.size()), 100);
        QVERIFY(stroke->Bytes() < 100 * 200 + 1000);
        QVERIFY(!edit.Finish()); // nothing open
        edit.Open(QStringLiteral("nichts"));
        QVERIFY(!edit.Finish()); // nothing changed: no step
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
