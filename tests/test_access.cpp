// The window for pupils who work without a mouse or with a screen reader, as Qt's own
// accessibility interface sees it: every control named, the surface's description following
// the tool and the instruments, the instruments moved by real key events to the exact value,
// Tab through every control and the focus frame outside the drawing.
#include "support/dialog_answers.h"
#include "support/window_fixture.h"

#include "dialogs/worksheet_forms.h"
#include "document/drawing_file.h"
#include "document/set_square.h"

#include <QAccessible>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

using namespace velmora;

namespace {

struct Window : WindowFixture {
    explicit Window(const WindowOptions &options = {}) : WindowFixture(options)
    {
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("the window did not become active");
    }
    PaintBox *Box() { return form->Surface().paintBox; }
    QString Description() { return QAccessible::queryAccessibleInterface(Box())->text(QAccessible::Description); }
    void Keys(std::initializer_list<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys)
    {
        Box()->setFocus();
        for (const auto &[key, modifiers] : keys)
            QTest::keyClick(Box(), key, modifiers);
    }
    QAction *MoveMode(Instrument which)
    {
        ToolBand &tools = form->Tools();
        switch (which) {
        case Instrument::Protractor: return tools.protractorMoveMode;
        case Instrument::Compass: return tools.compassMoveMode;
        case Instrument::SetSquare: return tools.setSquareMoveMode;
        case Instrument::Ruler: break;
        }
        return tools.rulerMoveMode;
    }
};

const Qt::KeyboardModifiers None = Qt::NoModifier, Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier,
                            CtrlShift = Qt::ControlModifier | Qt::ShiftModifier, Alt = Qt::AltModifier,
                            AltShift = Qt::AltModifier | Qt::ShiftModifier;

// The keyboard pointer moved by Alt with an arrow, `times` steps.
void Steps(Window &w, Qt::Key arrow, int times, Qt::KeyboardModifiers modifiers = Alt)
{
    for (int i = 0; i < times; ++i)
        w.Keys({{arrow, modifiers}});
}

void Near(double value, double expected, double tolerance = 1e-9)
{
    QVERIFY2(std::fabs(value - expected) <= tolerance,
             qPrintable(QStringLiteral("%1, not %2").arg(value, 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

bool Interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Canvas: return true;
    default: return false;
    }
}

// The controls below `root` that assistive technology would read without a name.
QStringList Unnamed(QAccessibleInterface *root)
{
    QStringList unnamed;
    if (!root)
        return unnamed;
    if (Interactive(root->role()) && root->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject *object = root->object();
        unnamed << QStringLiteral("%1 (%2, role %3)")
                       .arg(object ? object->objectName() : QString(),
                            object ? QString::fromLatin1(object->metaObject()->className()) : QString())
                       .arg(int(root->role()), 0, 16);
    }
    for (int i = 0; i < root->childCount(); ++i)
        unnamed << Unnamed(root->child(i));
    return unnamed;
}

QStringList Unnamed(QWidget *window)
{
    return Unnamed(QAccessible::queryAccessibleInterface(window));
}

QString NameOf(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class AccessTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // the user's number format
    }

    void everyControlOfTheWindowAndItsDialogsIsNamed()
    {
        Window w;
        w->Menus().entryBarAction->trigger();
        QCOMPARE(Unnamed(&*w), QStringList());
        for (QDialog *dialog : w->findChildren<QDialog *>())
            QVERIFY2(Unnamed(dialog).isEmpty(), qPrintable(Unnamed(dialog).join(", ")));
        const TranslateFunction same = [](const QString &text) { return text; };
        TWorksheetPasswordForm password(same);
        TWorksheetPagesForm pages(same);
        QCOMPARE(Unnamed(&password), QStringList());
        QCOMPARE(Unnamed(&pages), QStringList());
        QCOMPARE(NameOf(password.PasswordEd), QStringLiteral("Kennwort:"));

        // What the names say: the command, the label, the tool with its mode, the surface.
        QCOMPARE(NameOf(w->Menus().iconBar->widgetForAction(w->findChild<QAction *>("openIcon"))),
                 QStringLiteral("Öffnen..."));
        QCOMPARE(NameOf(w->SettingsBand().penWidthEdit), QStringLiteral("Strichstärke:"));
        QCOMPARE(w->SettingsBand().penWidthEdit->accessibleDescription(), QStringLiteral("in Millimetern"));
        QCOMPARE(NameOf(w->Entries().setSquareAngleEdit), QStringLiteral("Geodreieckdrehung:"));
        QCOMPARE(NameOf(w->Tools().Buttons().first()), QStringLiteral("Lineal, Verschieben"));
        w->Tools().rulerAlongMode->trigger();
        QCOMPARE(NameOf(w->Tools().Buttons().first()), QStringLiteral("Lineal, Am Lineal entlang zeichnen"));
        // A tool toggled as assistive technology toggles it is chosen.
        QAccessibleInterface *pencil = QAccessible::queryAccessibleInterface(w->Tools().Buttons().at(5));
        QCOMPARE(pencil->text(QAccessible::Name), QStringLiteral("Bleistift"));
        pencil->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(w->Tools().Selection().Is(Tool::Pencil));
        QTRY_VERIFY(w.Description().startsWith(QStringLiteral("Werkzeug: Bleistift.")));
        QAccessibleInterface *surface = QAccessible::queryAccessibleInterface(w.Box());
        QCOMPARE(surface->role(), QAccessible::Canvas);
        QCOMPARE(surface->text(QAccessible::Name), QStringLiteral("Zeichenfläche"));
    }

    void namesAndDescriptionSpeakTheProgramsLanguage()
    {
        QTemporaryDir folder; // with the shipped table, made as the build makes it
        QCOMPARE(QProcess::execute(QStringLiteral(MAKE_TRANSLATE_TABLE),
                                   {QStringLiteral(TRANSLATIONS_TSV), folder.filePath("translate.dbf")}),
                 0);
        Window w(WindowOptions().InLanguage(LanguageEnglish).InFolder(folder.path()));
        QCOMPARE(NameOf(w.Box()), QStringLiteral("Drawing surface"));
        QCOMPARE(NameOf(w->SettingsBand().pageCountEdit), QStringLiteral("Number of pages:"));
        QCOMPARE(w->SettingsBand().zoomEdit->accessibleDescription(), QStringLiteral("in percent"));
        QCOMPARE(NameOf(w->Tools().Buttons().first()), QStringLiteral("Ruler, Move"));
        QCOMPARE(NameOf(w->Menus().iconBar->widgetForAction(w->findChild<QAction *>("newIcon"))), QStringLiteral("New"));
        w.Keys({{Qt::Key_Right, Shift}});
        QCOMPARE(w.Description(), QStringLiteral("Tool: Ruler, Move. Page 1 of 1. Ruler at x 10,1 mm, y 90 mm, turned by 0°."));
    }

    void surfaceDescriptionFollowsToolSheetAndInstrument()
    {
        Window w;
        QCOMPARE(w.Description(),
                 QStringLiteral("Werkzeug: Lineal, Verschieben. Seite 1 von 1. Lineal bei x 10 mm, y 90 mm, gedreht um 0°."));
        w->Tools().compassSpanMode->trigger();
        QCOMPARE(w.Description(), QStringLiteral("Werkzeug: Zirkel, Zirkelspanne. Seite 1 von 1. Zirkel bei x 150 mm, "
                                                 "y 50 mm, gedreht um 45°, Spanne 40 mm."));
        w.Keys({{Qt::Key_Left, Ctrl}, {Qt::Key_Up, CtrlShift}});
        QVERIFY(w.Description().endsWith(QStringLiteral("gedreht um 44°, Spanne 40,1 mm.")));
        // A tool without an instrument tells about the one used last; a hidden one is said to be.
        w->Tools().pencilTool->trigger();
        QCOMPARE(w.Description(),
                 QStringLiteral("Werkzeug: Bleistift. Seite 1 von 1. Zirkel bei x 150 mm, y 50 mm, gedreht um 44°, "
                                "Spanne 40,1 mm."));
        w->Menus().compassShownAction->trigger();
        QVERIFY(w.Description().endsWith(QStringLiteral("Zirkel ist ausgeblendet.")));
        w.Session().SetSheetCount(3);
        QTest::mouseClick(w.Box(), Qt::LeftButton, {}, QPoint(20, w->Surface().CurrentView().PageHeightPx * 2 + 20));
        QVERIFY(w.Description().contains(QStringLiteral("Seite 3 von 3.")));
        w.Session().SetSheetCount(1);
        QVERIFY(w.Description().contains(QStringLiteral("Seite 1 von 1.")));
    }

    void keysMoveTurnAndOpenEveryInstrumentExactly()
    {
        Window w;
        for (Instrument which : AllInstruments) {
            w.MoveMode(which)->trigger();
            const InstrumentPlacement before = w.Session().Drawing().Placement;
            InstrumentPlacement start = before;
            const InstrumentPose was = PoseOf(start, which);
            w.Keys({{Qt::Key_Right, None}, {Qt::Key_Right, None}, {Qt::Key_Right, None}, {Qt::Key_Up, None}});
            for (int i = 0; i < 7; ++i)
                w.Keys({{Qt::Key_Right, Shift}, {Qt::Key_Down, Shift}, {Qt::Key_Left, CtrlShift}});
            w.Keys({{Qt::Key_Right, Ctrl}, {Qt::Key_Right, Ctrl}, {Qt::Key_Right, Ctrl}});
            // 3 + 0.7 mm right, 1 - 0.7 mm up, 3 - 0.7 degrees clockwise: as if typed.
            InstrumentPlacement now = w.Session().Drawing().Placement;
            const InstrumentPose pose = PoseOf(now, which);
            const QLocale c = QLocale::c();
            const auto typed = [&](double value) { return c.toDouble(c.toString(value, 'f', 6)); };
            QVERIFY2(pose.X == typed(was.X + 3.7), qPrintable(QString::number(pose.X, 'g', 17)));
            QVERIFY2(pose.Y == typed(was.Y - 0.3), qPrintable(QString::number(pose.Y, 'g', 17)));
            QVERIFY2(pose.Angle == typed(was.Angle + 2.3), qPrintable(QString::number(pose.Angle, 'g', 17)));
            // The other instruments stay; the entry bar shows the place at once.
            for (Instrument other : AllInstruments)
                if (other != which) {
                    QCOMPARE(PoseOf(now, other).X, PoseOf(start, other).X);
                    QCOMPARE(PoseOf(now, other).Angle, PoseOf(start, other).Angle);
                }
        }
        QCOMPARE(w->Entries().rulerXEdit->text(), QStringLiteral("13,70"));
        QCOMPARE(w->Entries().setSquareAngleEdit->text(), QStringLiteral("2,30"));

        // The compass opens and closes; it closes no further than to nothing.
        w.MoveMode(Instrument::Compass)->trigger();
        w.Keys({{Qt::Key_Up, Ctrl}, {Qt::Key_Up, Ctrl}, {Qt::Key_Down, CtrlShift}});
        QVERIFY(w.Session().Drawing().Placement.CompassSpan == 41.9);
        for (int i = 0; i < 45; ++i)
            w.Keys({{Qt::Key_Down, Ctrl}});
        QCOMPARE(w.Session().Drawing().Placement.CompassSpan, 0.0);
        w.Keys({{Qt::Key_Up, CtrlShift}});

        // Moving an instrument is no step of the history; the saved drawing holds the values.
        QCOMPARE(w.Session().History().count(), 0);
        w.savePath = w.Path("keys.vlm");
        QVERIFY(w.Session().Files.SaveAs());
        DrawingState read;
        DrawingFileSettings settings;
        QCOMPARE(LoadDrawingFile(w.savePath, read, settings), DrawingFileError::None);
        InstrumentPlacement &p = settings.Placement;
        bool setSquareShown = false;
        QVERIFY(SetSquareFromChunks(settings.Chunks, p, setSquareShown));
        for (const auto &[value, expected] : {std::pair{p.RulerX, 13.7}, {p.RulerY, 89.7}, {p.RulerAngle, 2.3},
                                              {p.ProtractorX, 53.7}, {p.ProtractorY, 49.7}, {p.ProtractorAngle, 2.3},
                                              {p.CompassX, 153.7}, {p.CompassY, 49.7}, {p.CompassSpan, 0.1},
                                              {p.SetSquareX, 108.7}, {p.SetSquareY, 149.7}, {p.SetSquareAngle, 2.3}})
            QVERIFY2(std::fabs(value - expected) <= 1e-9, qPrintable(QString::number(value, 'g', 17)));
    }

    void arrowsScrollWhereNoInstrumentTakesThem()
    {
        Window w;
        QScrollBar *bar = w->Surface().verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const InstrumentPlacement before = w.Session().Drawing().Placement;
        w->Tools().handTool->trigger();
        w.Keys({{Qt::Key_Down, None}});
        const int scrolled = bar->value();
        QVERIFY(scrolled > 0);
        // A hidden instrument is not moved by the keys: they scroll.
        w->Tools().rulerMoveMode->trigger();
        w->Menus().rulerShownAction->trigger();
        w.Keys({{Qt::Key_Down, None}, {Qt::Key_Right, Ctrl}});
        QVERIFY(bar->value() > scrolled);
        QCOMPARE(w.Session().Drawing().Placement.RulerY, before.RulerY);
        QCOMPARE(w.Session().Drawing().Placement.RulerAngle, before.RulerAngle);
        // Shown again, the arrows move it and the view stays.
        w->Menus().rulerShownAction->trigger();
        const int kept = bar->value();
        w.Keys({{Qt::Key_Down, None}});
        QCOMPARE(bar->value(), kept);
        QCOMPARE(w.Session().Drawing().Placement.RulerY, before.RulerY + 1);
    }

    void enterAddsATextAtTheInstrumentsZeroPoint()
    {
        Window w;
        w->Tools().setSquareMoveMode->trigger();
        w.Box()->setFocus();
        w->Tools().textAddMode->trigger();
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("Eingabetaste:")));
        Answer<TAddTextForm>([](TAddTextForm *dialog) {
            dialog->Memo1->setPlainText(QStringLiteral("A"));
            dialog->OkBtn->click();
        });
        w.Keys({{Qt::Key_Return, None}});
        QCOMPARE(w.Session().Drawing().Texts.Count, 1);
        QCOMPARE(w.Session().Drawing().Texts.At(0).Left, 105.0);
        QCOMPARE(w.Session().Drawing().Texts.At(0).Top, 150.0);
        // Escape leaves the dialog with no text.
        Answer<TAddTextForm>([](TAddTextForm *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        w.Keys({{Qt::Key_Enter, Qt::KeypadModifier}});
        QCOMPARE(w.Session().Drawing().Texts.Count, 1);
    }

    void keyboardPointerDrawsWithTheToolsAsTheMouseDoes()
    {
        Window w;
        const DrawingState &drawing = w.Session().Drawing();
        const double pixel = 0.5 / w->Surface().View.PixelsPerMm(); // where the tool takes whole pixels
        // The pencil keeps the tenths: the pointer starts at the seen sheet's top-left corner.
        w->Tools().pencilTool->trigger();
        w.Keys({{Qt::Key_Down, Alt}, {Qt::Key_Space, None}});
        QVERIFY(w.Description().endsWith(QStringLiteral("Tastaturzeiger bei x 0 mm, y 0 mm, linke Maustaste gedrückt.")));
        Steps(w, Qt::Key_Right, 3);
        Steps(w, Qt::Key_Down, 25, AltShift);
        w.Keys({{Qt::Key_Space, None}});
        QVERIFY(w.Description().endsWith(QStringLiteral("Tastaturzeiger bei x 3 mm, y 2,5 mm.")));
        QVERIFY(drawing.Objects.Count >= 3);
        const DrawingObject &first = drawing.Objects.At(0), &last = drawing.Objects.At(drawing.Objects.Count - 1);
        Near(first.X1, 0);
        Near(first.Y1, 0);
        Near(last.X2, 3);
        Near(last.Y2, 2.5);
        QCOMPARE(w.Session().History().count(), 1);

        // Along the ruler, from its zero point, once the pointer was hidden by the focus leaving.
        w->SettingsBand().zoomEdit->setFocus();
        w->Tools().rulerAlongMode->trigger();
        const int objects = drawing.Objects.Count;
        w.Keys({{Qt::Key_Space, None}});
        Steps(w, Qt::Key_Right, 30);
        w.Keys({{Qt::Key_Space, None}});
        QCOMPARE(drawing.Objects.Count, objects + 1);
        const DrawingObject &line = drawing.Objects.At(objects);
        QCOMPARE(line.Kind, uint32_t(KindLine));
        Near(line.X1, 10, pixel);
        Near(line.X2, 40, pixel);
        Near(line.Y1, drawing.Placement.RulerY);
        Near(line.Y2, drawing.Placement.RulerY);
        QCOMPARE(w.Session().History().count(), 2);

        // A compass arc: to the circle first, then a quarter round it with the button held.
        w->SettingsBand().zoomEdit->setFocus();
        w->Tools().compassArcMode->trigger();
        const InstrumentPlacement &p = drawing.Placement;
        const double cx = p.CompassX, cy = p.CompassY, span = p.CompassSpan;
        w.Keys({{Qt::Key_Right, Alt}});
        Steps(w, Qt::Key_Right, int(span));
        w.Keys({{Qt::Key_Space, None}});
        Steps(w, Qt::Key_Down, int(span));
        w.Keys({{Qt::Key_Space, None}});
        QCOMPARE(drawing.Objects.Count, objects + 2);
        const DrawingObject &arc = drawing.Objects.At(objects + 1);
        QCOMPARE(arc.Kind, uint32_t(KindArc));
        Near(arc.X1, cx - span);
        Near(arc.Y1, cy - span);
        Near(arc.X2, cx + span);
        Near(arc.Y2, cy + span);
        Near(arc.X3, cx + span, pixel); // clockwise on the screen: from the end back to the start
        Near(arc.Y3, cy + span, pixel);
        Near(arc.X4, cx + span, pixel);
        Near(arc.Y4, cy, pixel);
        QCOMPARE(w.Session().History().count(), 3);

        // The ruler's line picked and moved 5 mm down, from the seen sheet's top-left corner.
        w->SettingsBand().zoomEdit->setFocus();
        w->Tools().objectMoveMode->trigger();
        const double lineY = line.Y1;
        w.Keys({{Qt::Key_Right, Alt}});
        Steps(w, Qt::Key_Right, 20);
        Steps(w, Qt::Key_Down, qRound(lineY));
        w.Keys({{Qt::Key_Space, None}});
        Steps(w, Qt::Key_Down, 5);
        w.Keys({{Qt::Key_Space, None}});
        Near(drawing.Objects.At(objects).Y1, lineY + 5, pixel);
        Near(drawing.Objects.At(objects).X1, 10, pixel);
        QCOMPARE(w.Session().History().count(), 4);
    }

    // Escape during a drag with the mouse takes it back as it takes back a held keyboard press:
    // a pencil stroke leaves nothing and no step of the history, a moved ruler lies where the
    // press found it; the moves and the release after it change nothing.
    void escapeTakesBackAMouseDrag()
    {
        Window w;
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, w.Box()->mapToGlobal(at), button, buttons, {});
            QApplication::sendEvent(w.Box(), &event);
        };
        auto drag = [&](QAction *tool) {
            tool->trigger();
            send(QEvent::MouseButtonPress, {150, 200}, Qt::LeftButton, Qt::LeftButton);
            send(QEvent::MouseMove, {200, 230}, Qt::NoButton, Qt::LeftButton);
            send(QEvent::MouseMove, {260, 240}, Qt::NoButton, Qt::LeftButton);
        };
        auto release = [&] {
            w.Keys({{Qt::Key_Escape, None}});
            send(QEvent::MouseMove, {300, 260}, Qt::NoButton, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, {300, 260}, Qt::LeftButton, Qt::NoButton);
        };
        const DrawingState &drawing = w.Session().Drawing();
        const QImage plain = w.Box()->grab().toImage();
        drag(w->Tools().pencilTool);
        QVERIFY(drawing.Objects.Count > 0);
        release();
        QCOMPARE(drawing.Objects.Count, 0);
        QCOMPARE(w.Session().History().count(), 0);
        QCOMPARE(w.Box()->grab().toImage(), plain);
        const InstrumentPlacement before = drawing.Placement;
        drag(w->Tools().rulerMoveMode);
        QVERIFY(drawing.Placement.RulerX != before.RulerX);
        release();
        QCOMPARE(drawing.Placement.RulerX, before.RulerX);
        QCOMPARE(drawing.Placement.RulerY, before.RulerY);
        QCOMPARE(w.Box()->grab().toImage(), plain);
    }

    void escapeAndTheMouseEndAHeldKeyboardPress()
    {
        Window w;
        w->Tools().pencilTool->trigger();
        const QImage plain = w.Box()->grab().toImage();
        // Shown, the crosshair is over the drawing, never in it: its pixels return when it goes.
        w.Keys({{Qt::Key_Right, Alt}, {Qt::Key_Right, Alt}});
        QImage shown = w.Box()->grab().toImage();
        QVERIFY(shown != plain);
        const QRect cross = w->Surface().KeyPointerRect();
        QVERIFY(cross.contains(QPoint(5, 5) + QPointF(w->Surface().View.PixelsPerMm(), 0).toPoint()));
        QPainter(&shown).drawImage(cross.topLeft(), plain.copy(cross));
        QCOMPARE(shown, plain);
        w.Keys({{Qt::Key_Space, None}});
        Steps(w, Qt::Key_Down, 10);
        w.Keys({{Qt::Key_Escape, None}});
        QCOMPARE(w.Session().Drawing().Objects.Count, 0);
        QCOMPARE(w.Session().History().count(), 0);
        QVERIFY(w.Description().endsWith(QStringLiteral("Tastaturzeiger bei x 1 mm, y 10 mm.")));
        w->SettingsBand().zoomEdit->setFocus();
        QVERIFY(!w.Description().contains(QStringLiteral("Tastaturzeiger")));
        QCOMPARE(w.Box()->grab().toImage(), plain);

        // A real mouse move over the surface releases the held press at the keyboard pointer.
        w.Keys({{Qt::Key_Space, None}});
        Steps(w, Qt::Key_Right, 5);
        QCOMPARE(w.Session().History().count(), 0);
        const QPoint at(400, 400);
        QMouseEvent move(QEvent::MouseMove, at, w.Box()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(w.Box(), &move);
        QCOMPARE(w.Session().History().count(), 1);
        const DrawingState &drawing = w.Session().Drawing();
        Near(drawing.Objects.At(drawing.Objects.Count - 1).X2, 5);
        QVERIFY(!w.Description().contains(QStringLiteral("Tastaturzeiger")));
        w->SettingsBand().zoomEdit->setFocus();
        w.Box()->setFocus();
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("Alt+Pfeiltasten:")));
    }

    void tabReachesEveryControlAndTheSurfaceShowsItsFocus()
    {
        Window w;
        w->Menus().entryBarAction->trigger();
        SettingsBar &band = w->SettingsBand();
        band.zoomEdit->setFocus();
        QList<QWidget *> order;
        for (int i = 0; i < 60 && !order.contains(QApplication::focusWidget()); ++i) {
            order << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), band.zoomEdit); // round and back
        QList<QWidget *> expected{band.zoomEdit, band.penWidthEdit, band.colourButton, band.eraserEdit,
                                  band.pageCountEdit};
        for (QToolButton *tool : w->Tools().Buttons())
            expected << tool;
        EntryBar &entries = w->Entries();
        expected << entries.rulerXEdit << entries.rulerYEdit << entries.rulerAngleEdit << entries.protractorXEdit
                 << entries.protractorYEdit << entries.protractorAngleEdit << entries.compassXEdit
                 << entries.compassYEdit << entries.compassSpanEdit << entries.setSquareXEdit
                 << entries.setSquareYEdit << entries.setSquareAngleEdit << w.Box();
        QCOMPARE(order, expected);

        // The frame lies around the drawing: the drawing's pixels are the same with the focus.
        DrawingSurface &surface = w->Surface();
        band.zoomEdit->setFocus();
        QVERIFY(!surface.FocusFrameShown());
        const QImage unfocused = w.Box()->grab().toImage();
        const QImage around = surface.grab().toImage();
        w.Box()->setFocus();
        QVERIFY(surface.FocusFrameShown());
        QCOMPARE(w.Box()->grab().toImage(), unfocused);
        const QImage framed = surface.grab().toImage();
        const QPoint edge(surface.viewport()->x() - 1, surface.viewport()->y() + 40);
        QCOMPARE(framed.pixelColor(edge), surface.palette().color(QPalette::Highlight));
        QVERIFY(around.pixelColor(edge) != framed.pixelColor(edge));
        // The tool buttons open their modes from the keyboard; Tab leaves without scrolling.
        surface.verticalScrollBar()->setValue(200);
        QTest::keyClick(w.Box(), Qt::Key_Tab);
        QCOMPARE(surface.verticalScrollBar()->value(), 200);
    }
};

QTEST_MAIN(AccessTest)
#include "test_access.moc"
