// Undo and redo through the real window: each kind of step done, taken back to the same
// bytes and done again; mixed sequences; the history emptied by New and Open; its bound.
#include "support/window_fixture.h"

#include "app/desktop_keys.h"
#include "document/drawing_file.h"

#include <QLineEdit>
#include <QtTest>

using namespace velmora;

namespace {

struct Window : WindowFixture {

    // The drawing as bytes: every record with its padding, and the sheet size.
    QByteArray Bytes()
    {
        DrawingFileSettings fixed;
        fixed.PageWidthInch = form->Session().Document().PageWidthInch;
        fixed.PageHeightInch = form->Session().Document().PageHeightInch;
        fixed.PageCount = form->SettingsBand().pageCountEdit->value();
        return WriteDrawingFile(form->Session().Document(), fixed);
    }
    void Press(int x, int y) { form->Dispatch().MouseDown(PointerButton::Left, x, y); }
    void Move(int x, int y) { form->Dispatch().MouseMove(x, y); }
    void Release(int x, int y) { form->Dispatch().MouseUp(x, y); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from.x(), from.y());
        Move((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        Move(to.x(), to.y());
        Release(to.x(), to.y());
    }
    void AnswerTextDialog(const QString &text)
    {
        QTimer::singleShot(0, &form->TextDialog(), [this, text] {
            form->TextDialog().Memo1->setPlainText(text);
            form->TextDialog().OkBtn->click();
        });
    }
};

// Does the action, then checks that one undo gives the bytes before and one redo those after.
void CheckStep(Window &w, const std::function<void()> &action, const QString &label)
{
    const QByteArray before = w.Bytes();
    const int steps = w->Session().History().count();
    action();
    QCOMPARE(w->Session().History().count(), steps + 1);
    QCOMPARE(w->Session().History().undoText(), label);
    const QByteArray after = w.Bytes();
    QVERIFY(after != before);
    QCOMPARE(WithoutMnemonic(w->Menus().undoAction->text()), "Rückgängig: " + label);
    w->Menus().undoAction->trigger();
    QCOMPARE(w.Bytes(), before);
    QCOMPARE(w->Session().IsModified(), !w->Session().History().isClean()); // unchanged only when back at the start
    QCOMPARE(WithoutMnemonic(w->Menus().redoAction->text()), "Wiederherstellen: " + label);
    w->Menus().redoAction->trigger();
    QCOMPARE(w.Bytes(), after);
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void everyKindOfStep()
    {
        Window w;
        QVERIFY(!w->Menus().undoAction->isEnabled());
        QCOMPARE(w->Menus().undoAction->text(), QStringLiteral("&Rückgängig"));
        QCOMPARE(w->Menus().editMenu->title(), QStringLiteral("&Bearbeiten"));

        w->Tools().rulerAlongMode->trigger();
        CheckStep(w, [&] { w.Drag({105, 205}, {305, 505}); }, "Linie");
        w->Tools().rulerAcrossMode->trigger();
        CheckStep(w, [&] { w.Drag({205, 205}, {205, 405}); }, "Linie");
        w->Tools().protractorMarkMode->trigger();
        CheckStep(w, [&] { w.Drag({300, 150}, {350, 160}); }, "Gradmarkierung");
        w->Tools().compassArcMode->trigger();
        CheckStep(w, [&] { w.Drag({700, 190}, {570, 330}); }, "Kreisbogen");
        CheckStep(w, [&] { w->Tools().circleAction->trigger(); }, "Kreis");

        w->Tools().pencilTool->trigger();
        CheckStep(w, [&] {
            w.Press(100, 600);
            for (int i = 1; i <= 25; ++i)
                w.Move(100 + 4 * i, 600 + i % 5);
            w.Release(200, 600);
        }, "Bleistiftstrich"); // 25 segments, one step
        w->Tools().eraserTool->trigger();
        CheckStep(w, [&] { w.Drag({100, 600}, {200, 605}); }, "Radierstrich");
        w->Tools().curvesTool->trigger();
        CheckStep(w, [&] {
            for (QPoint p : {QPoint(50, 700), QPoint(250, 700), QPoint(100, 650), QPoint(200, 750)})
                w.Press(p.x(), p.y());
        }, "Kurve");

        w->Tools().textAddMode->trigger();
        CheckStep(w, [&] {
            w.AnswerTextDialog("Dreieck ABC");
            w.Press(400, 700);
        }, "Text hinzufügen");
        const TextObject &text = w->Session().Drawing().Texts.At(0);
        const double s = w->Surface().View.PixelsPerMm();
        const QPoint onText(qRound(text.Left * s) + 8, qRound(text.Top * s) + 8);
        w->Tools().textChangeMode->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x(), onText.y());
            w.AnswerTextDialog("Dreieck DEF");
            w.Press(onText.x(), onText.y());
        }, "Text ändern");
        w->Tools().textMoveMode->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x(), onText.y());
            w.Drag(onText, onText + QPoint(40, 20));
        }, "Text verschieben");
        w->Tools().textDeleteMode->trigger();
        CheckStep(w, [&] {
            w.Move(onText.x() + 40, onText.y() + 20);
            w.Press(onText.x() + 40, onText.y() + 20);
        }, "Text löschen");

        const DrawingObject &line = w->Session().Drawing().Objects.At(0); // the first ruler line, y 90 mm
        const QPoint onLine(qRound((line.X1 + line.X2) / 2 * s) + 5, qRound(line.Y1 * s) + 5);
        w->Tools().objectMoveMode->trigger();
        CheckStep(w, [&] {
            w.Move(onLine.x(), onLine.y());
            w.Drag(onLine, onLine + QPoint(30, 40));
        }, "Objekt verschieben");
        w->Tools().objectDeleteMode->trigger();
        CheckStep(w, [&] {
            w.Move(onLine.x() + 30, onLine.y() + 40);
            w.Press(onLine.x() + 30, onLine.y() + 40);
        }, "Objekt löschen");

        CheckStep(w, [&] {
            QTimer::singleShot(0, &w.Find<TSeiteEinrichtenForm>(), [&] { w.Find<TSeiteEinrichtenForm>().BitBtnXP3->click(); w.Find<TSeiteEinrichtenForm>().BitBtnXP1->click(); });
            w->Menus().pageSetupAction->trigger();
        }, "Seite einrichten");
        CheckStep(w, [&] { w->SettingsBand().pageCountEdit->setValue(3); }, "Seitenanzahl");
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 3);

        // The whole sequence taken back to the empty drawing, then done again.
        const QByteArray all = w.Bytes();
        while (w->Session().History().canUndo())
            w->Menus().undoAction->trigger();
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        QCOMPARE(w->Session().Drawing().Texts.Count, 0);
        QCOMPARE(w->SettingsBand().pageCountEdit->value(), 1);
        QCOMPARE(w->Session().Document().PageWidthInch, A4WidthInch);
        while (w->Session().History().canRedo())
            w->Menus().redoAction->trigger();
        QCOMPARE(w.Bytes(), all);
        QVERIFY(!w->Menus().redoAction->isEnabled());
    }

    void newAndOpenEmptyTheHistory()
    {
        Window w;
        w->Tools().circleAction->trigger();
        QVERIFY(w->Menus().undoAction->isEnabled());
        w.answer = SessionPrompts::Answer::No;
        w->Menus().newAction->trigger();
        QCOMPARE(w->Session().History().count(), 0);
        QVERIFY(!w->Menus().undoAction->isEnabled());
        w->Tools().circleAction->trigger();
        w.openPath = QStringLiteral(TEST_DATA_DIR "/full.vlm");
        w->Menus().openAction->trigger();
        QCOMPARE(w->Session().History().count(), 0);
        QCOMPARE(w->Session().Drawing().Objects.Count, 4);
    }

    void dragsAndCurvesAreNotDisturbed()
    {
        Window w;
        w->Tools().circleAction->trigger();
        w->Tools().curvesTool->trigger();
        w.Press(50, 700); // a curve under way
        w->Menus().undoAction->trigger();
        QCOMPARE(w->Session().Drawing().Objects.Count, 0);
        QVERIFY(std::holds_alternative<Curve>(*w->Dispatch().Active())); // still under way
        w->Menus().redoAction->trigger();
        w->Tools().pencilTool->trigger();
        w.Press(100, 100); // the curve takes this press, not the pencil
        QCOMPARE(std::get<Curve>(*w->Dispatch().Active()).Placed, Curve::Stage::End);

        Window d;
        d->Tools().circleAction->trigger();
        d->Tools().pencilTool->trigger();
        d.Press(100, 100);
        d.Move(120, 100);
        d->Menus().undoAction->trigger(); // ignored while the stroke is drawn
        QCOMPARE(d->Session().Drawing().Objects.Count, 2);
        d.Release(120, 100);
        d->Menus().undoAction->trigger();
        QCOMPARE(d->Session().Drawing().Objects.Count, 1);
    }

    void theHistoryIsBounded()
    {
        Window w;
        for (int i = 0; i < DocumentSession::HistoryLimit + 50; ++i)
            w->Tools().circleAction->trigger();
        QCOMPARE(w->Session().History().count(), DocumentSession::HistoryLimit);
        int undone = 0;
        while (w->Session().History().canUndo()) {
            w->Session().History().undo();
            ++undone;
        }
        QCOMPARE(undone, DocumentSession::HistoryLimit);
        QCOMPARE(w->Session().Drawing().Objects.Count, 50); // the oldest steps are forgotten, their objects stay
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
