// After a change of a few objects or texts only the part the change touched is drawn anew,
// in the kept pictures and on the surface. What the surface then shows must be exactly what
// a full rendering of the drawing shows: random sequences of changes made with the tools
// and the history, each compared pixel for pixel with a fresh renderer's picture.
#include "document/units.h"
#include "render/sheet/object_index.h"
#include "render/canvas/band_work.h"
#include "render/canvas/overlay_canvas.h"
#include "render/canvas/painter_canvas.h"
#include "render/output/sheet_export.h"
#include "render/surface/surface_renderer.h"
#include "tools/add_object.h"
#include "tools/pointer_dispatch.h"

#include <QPainter>
#include <QRegion>
#include <QTest>

#include <cmath>
#include <cstring>
#include <random>

using namespace velmora;

namespace {

// A window without a display: a repaint hands the kept pictures the change and paints only
// the part of the surface it names, as paint events of the real surface do; the rest of the
// surface keeps what it showed.
// The window's viewport as an image of the screen's device pixel ratio.
QImage Viewport(const QRect &viewport, qreal ratio)
{
    QImage image(int(std::ceil(viewport.width() * ratio)), int(std::ceil(viewport.height() * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

class SurfaceHost : public ToolHost {
public:
    SurfaceHost(int zoom, const QRect &viewport, qreal ratio)
        : viewport_(viewport), ratio_(ratio), shown_(Viewport(viewport, ratio))
    {
        view_ = ComputeViewGeometry(2, zoom, 96, 96, drawing_.PageWidthInch, drawing_.PageHeightInch);
        surface_.Geometry = view_;
        shown_.fill(Qt::magenta);
    }

    ToolSelection Tools;
    SurfaceRenderer Renderer;
    OverlayCanvas Overlay;
    std::vector<DrawingEdit> Done, Undone;
    QStringList Answers;
    int Bounded = 0, Whole = 0; // repaints that named a part, and those that named everything

    const ViewGeometry &Geometry() const { return view_; }
    const QImage &Shown() const { return shown_; }

    // The paint events that follow: the named part of the surface, the previews over it.
    void PaintPending()
    {
        const QRegion area = pending_.intersected(QRegion(viewport_));
        pending_ = QRegion();
        if (area.isEmpty())
            return;
        QPainter painter(&shown_);
        painter.translate(-viewport_.topLeft());
        painter.setClipRegion(area);
        painter.fillRect(area.boundingRect(), Qt::magenta); // the surface's background, as the widget's paint event has it
        Renderer.Paint(painter, area.boundingRect(), drawing_, view_, SheetView{});
        PainterCanvas canvas(painter);
        Overlay.ReplayOn(canvas, area.boundingRect());
    }
    // The window moved to a screen of another device pixel ratio: all of it is painted anew.
    void MoveToScreen(qreal ratio)
    {
        ratio_ = ratio;
        shown_ = Viewport(viewport_, ratio);
        shown_.fill(Qt::magenta);
        pending_ += QRegion(viewport_);
    }
    // What a full rendering of the drawing as it is now shows in the viewport.
    QImage FullRender()
    {
        QImage image = Viewport(viewport_, ratio_);
        image.fill(Qt::magenta);
        SurfaceRenderer fresh;
        QPainter painter(&image);
        painter.translate(-viewport_.topLeft());
        fresh.Paint(painter, viewport_, drawing_, view_, SheetView{});
        return image;
    }
    void Undo()
    {
        if (Done.empty())
            return;
        Done.back().Revert(drawing_);
        Undone.push_back(std::move(Done.back()));
        Done.pop_back();
        Repaint();
    }
    void Redo()
    {
        if (Undone.empty())
            return;
        Undone.back().Apply(drawing_);
        Done.push_back(std::move(Undone.back()));
        Undone.pop_back();
        Repaint();
    }

    using ToolHost::Repaint;
    DrawingState &State() override { return drawing_; }
    SurfaceView &View() override { return surface_; }
    ToolSelection Selection() const override { return Tools; }
    void Repaint(PaintScope scope) override
    {
        const std::optional<QRegion> changed =
            Renderer.AcceptDrawing(drawing_, view_, SheetView{}, scope, surface_.ActivePage);
        const QRect overlay = Overlay.DrawnRect();
        Overlay.Clear();
        ++(changed ? Bounded : Whole);
        pending_ += changed ? *changed + overlay : QRegion(viewport_);
    }
    Canvas &Surface() override { return Overlay; }
    void SetChanged() override { drawing_.Modified = true; }
    void UpdateEds() override {}
    void ShowStatus(const QString &) override {}
    double PenWidth() const override { return Pen; }
    uint32_t PenColour() const override { return Colour; }
    double EraserSize() const override { return 3; }
    int Zoom() const override { return view_.Zoom; }
    void SetZoom(double) override {}
    ScrollState Scroll() const override { return {}; }
    void SetScroll(int, int) override {}
    double ScreenDpiY() const override { return 96; }
    TextFontChoice &NewTextFont() override { return font_; }
    bool EditText(const QString *, QString &text) override
    {
        if (Answers.isEmpty())
            return false;
        text = Answers.takeFirst();
        return true;
    }
    EditRecorder &Edits() override { return recorder_; }
    void CommitEdit() override
    {
        if (auto edit = recorder_.End()) {
            Done.push_back(std::move(*edit));
            Undone.clear();
        }
    }

    double Pen = 0.5;
    uint32_t Colour = 0;

private:
    DrawingState drawing_;
    ViewGeometry view_;
    SurfaceView surface_;
    QRect viewport_;
    qreal ratio_;
    QImage shown_;
    QRegion pending_;
    TextFontChoice font_;
    EditRecorder recorder_;
};

// A drawing of every kind of object, pens from thin to wide, white ellipses that cover what
// lies under them, and texts among them, on two sheets.
void FillDrawing(DrawingState &state, std::mt19937 &random)
{
    std::uniform_real_distribution<double> x(0, 150), y(0, 2 * 297), d(-25, 25), pen(0.05, 3);
    for (int i = 0; i < 400; ++i) {
        DrawingObject *o = state.AppendObject();
        *o = DrawingObject{};
        o->Kind = uint32_t(i % 4);
        o->PenWidth = pen(random);
        o->X1 = x(random);
        o->Y1 = y(random);
        o->X2 = o->X1 + d(random);
        o->Y2 = o->Y1 + d(random);
        o->X3 = o->X1 + d(random);
        o->Y3 = o->Y1 + d(random);
        o->X4 = o->X2 + d(random);
        o->Y4 = o->Y2 + d(random);
        o->Colour = i % 7 == 0 ? ColourWhite : ColourRGB(uint8_t(i * 37), uint8_t(i * 11), uint8_t(i * 5));
    }
    for (int i = 0; i < 20; ++i) {
        TextObject *t = state.AppendText();
        *t = TextObject{};
        t->Left = t->Right = x(random);
        t->Top = t->Bottom = y(random);
        t->Size = 8 + i % 4 * 6;
        t->Style = uint8_t(i % 3 == 0 ? StyleItalic : i % 3 == 1 ? StyleBold : 0);
        SetTextString(*t, QStringLiteral("Dreieck ABC %1\nfjy Winkel").arg(i));
        SetFontName(*t, "Arial", 5);
    }
}

// Where a user would point at object i or text i on the surface (the 5-pixel margin included).
QPoint OnObject(const DrawingObject &o, double s)
{
    return QPoint(Round(s * (o.X1 + o.X2) / 2) + PointerMarginPx, Round(s * (o.Y1 + o.Y2) / 2) + PointerMarginPx);
}

QPoint OnText(const TextObject &t, double s)
{
    return QPoint(Round(s * (t.Left + t.Right) / 2) + PointerMarginPx,
                  Round(s * (t.Top + t.Bottom) / 2) + PointerMarginPx);
}

int DifferentPixels(const QImage &a, const QImage &b, QPoint &first)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                first = QPoint(x, y);
    return count;
}

} // namespace

class TestChangeRepaint : public QObject {
    Q_OBJECT
private slots:
    void randomChangesShowAsAFullRender_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("paper");
        const int plain = int(PaperKind::Plain);
        QTest::newRow("zoom 100") << 100 << 1u << 1.0 << plain;
        QTest::newRow("zoom 300") << 300 << 2u << 1.0 << plain;
        QTest::newRow("zoom 37") << 37 << 3u << 1.0 << plain;
        QTest::newRow("zoom 100, squared paper") << 100 << 4u << 1.0 << int(PaperKind::Squared5);
        QTest::newRow("zoom 100, screen ratio 2") << 100 << 5u << 2.0 << plain;
        QTest::newRow("zoom 137, graph paper") << 137 << 7u << 1.0 << int(PaperKind::Millimetre);
        QTest::newRow("zoom 137, screen ratio 1.5") << 137 << 6u << 1.5 << plain;
        QTest::newRow("zoom 100, screen ratio 1.25, dotted paper") << 100 << 8u << 1.25 << int(PaperKind::Dotted5);
    }
    void randomChangesShowAsAFullRender()
    {
        QFETCH(int, zoom);
        QFETCH(unsigned, seed);
        QFETCH(qreal, ratio);
        QFETCH(int, paper);
        std::mt19937 random(seed);
        const ViewGeometry probe = ComputeViewGeometry(2, zoom, 96, 96, A4WidthInch, A4HeightInch);
        // A viewport across the border of the two sheets, where the changes are made.
        const QRect sheet1 = probe.SheetOnSurface(1);
        const QRect viewport(sheet1.left(), sheet1.top() - 260, 520, 440);
        SurfaceHost host(zoom, viewport, ratio);
        FillDrawing(host.State(), random);
        host.State().Paper = PaperKind(paper);
        PointerDispatch dispatch(host);
        host.Repaint();
        host.PaintPending();
        const double s = host.Geometry().PixelsPerMm;
        std::uniform_int_distribution<int> px(viewport.left() - 40, viewport.right() + 40),
            py(viewport.top() - 40, viewport.bottom() + 40), step(-60, 60), action(0, 9);
        DrawingState &state = host.State();
        // Records inside the viewport, so most changes show there.
        auto visibleObject = [&]() -> int {
            for (int tries = 0; tries < 200; ++tries) {
                const int i = std::uniform_int_distribution<int>(0, state.Objects.Count - 1)(random);
                const DrawingObject &o = state.Objects.At(i);
                if (o.Kind == KindLine && viewport.contains(OnObject(o, s)))
                    return i;
            }
            return -1;
        };
        auto visibleText = [&]() -> int {
            for (int tries = 0; tries < 200 && state.Texts.Count > 0; ++tries) {
                const int i = std::uniform_int_distribution<int>(0, state.Texts.Count - 1)(random);
                if (viewport.contains(OnText(state.Texts.At(i), s)))
                    return i;
            }
            return -1;
        };
        int changes = 0;
        for (int round = 0; round < 70; ++round) {
            const int what = action(random);
            const int objectsBefore = state.Objects.Count, textsBefore = state.Texts.Count;
            const size_t stepsBefore = host.Done.size() + host.Undone.size();
            QString done;
            if (what == 0) { // a pencil stroke of a few segments, or an eraser stroke
                host.Tools.Current = random() % 3 == 0 ? Tool::Eraser : Tool::Pencil;
                host.Pen = std::uniform_real_distribution<double>(0.1, 2.5)(random);
                QPoint p(px(random), py(random));
                dispatch.MouseDown(PointerButton::Left, p.x(), p.y());
                for (int k = 0; k < 3; ++k) {
                    p += QPoint(step(random), step(random));
                    dispatch.MouseMove(p.x(), p.y());
                }
                dispatch.MouseUp(p.x(), p.y());
                host.Repaint();
                done = QStringLiteral("stroke");
            } else if (what == 1) { // an object of any kind, as the instruments add them
                const double x0 = (px(random) - PointerMarginPx) / s, y0 = (py(random) - PointerMarginPx) / s;
                const uint32_t kind = uint32_t(random() % 4);
                AddObject(host, QStringLiteral("Linie"), [&](DrawingObject &o) {
                    o.Kind = kind;
                    o.PenWidth = std::uniform_real_distribution<double>(0.05, 3)(random);
                    o.Colour = ColourRGB(uint8_t(random()), uint8_t(random()), uint8_t(random()));
                    o.X1 = x0, o.Y1 = y0;
                    o.X2 = x0 + step(random) / s, o.Y2 = y0 + step(random) / s;
                    o.X3 = x0 + step(random) / s, o.Y3 = y0 + step(random) / s;
                    o.X4 = x0 + step(random) / s, o.Y4 = y0 + step(random) / s;
                });
                done = QStringLiteral("add object");
            } else if (what == 2 || what == 3) { // move or delete a line with the object tool
                const int i = visibleObject();
                if (i < 0)
                    continue;
                const QPoint on = OnObject(state.Objects.At(i), s);
                host.Tools.Current = Tool::Objects;
                host.Tools.Objects = what == 2 ? ObjectMode::Move : ObjectMode::Delete;
                dispatch.MouseMove(on.x(), on.y()); // the hover finds it (or one over it)
                host.PaintPending();
                dispatch.MouseDown(PointerButton::Left, on.x(), on.y());
                const QPoint to = on + QPoint(step(random), step(random));
                dispatch.MouseMove(to.x(), to.y());
                host.PaintPending();
                dispatch.MouseUp(to.x(), to.y());
                done = what == 2 ? QStringLiteral("move object") : QStringLiteral("delete object");
            } else if (what == 4) { // a text added with the text tool
                host.Tools.Current = Tool::Text;
                host.Tools.Text = TextMode::Add;
                host.Answers = {QStringLiteral("Neu %1\nWinkel").arg(round)};
                dispatch.MouseDown(PointerButton::Left, px(random), py(random));
                dispatch.MouseUp(0, 0);
                done = QStringLiteral("add text");
            } else if (what == 5 || what == 6) { // move or delete a text with the text tool
                const int i = visibleText();
                if (i < 0)
                    continue;
                const QPoint on = OnText(state.Texts.At(i), s);
                host.Tools.Current = Tool::Text;
                host.Tools.Text = what == 5 ? TextMode::Move : TextMode::Delete;
                dispatch.MouseMove(on.x(), on.y());
                host.PaintPending();
                dispatch.MouseDown(PointerButton::Left, on.x(), on.y());
                const QPoint to = on + QPoint(step(random), step(random));
                dispatch.MouseMove(to.x(), to.y());
                host.PaintPending();
                dispatch.MouseUp(to.x(), to.y());
                done = what == 5 ? QStringLiteral("move text") : QStringLiteral("delete text");
            } else if (what <= 8) {
                host.Undo();
                done = QStringLiteral("undo");
            } else {
                host.Redo();
                done = QStringLiteral("redo");
            }
            // The next repaint takes away the previews (hover marks) as the window's does.
            host.Repaint();
            host.PaintPending();
            const bool changed = state.Objects.Count != objectsBefore || state.Texts.Count != textsBefore ||
                                 host.Done.size() + host.Undone.size() != stepsBefore || done.startsWith("undo") ||
                                 done.startsWith("redo");
            changes += changed;
            QPoint first;
            const int different = DifferentPixels(host.Shown(), host.FullRender(), first);
            if (different != 0)
                QFAIL(qPrintable(QStringLiteral("after %1 (round %2): %3 pixels differ from a full render, first at %4,%5")
                                     .arg(done)
                                     .arg(round)
                                     .arg(different)
                                     .arg(first.x())
                                     .arg(first.y())));
        }
        QVERIFY2(changes >= 40, qPrintable(QString::number(changes)));
        // The changes went the bounded way: the surface was not painted anew as a whole.
        QVERIFY2(host.Whole <= 1, qPrintable(QString::number(host.Whole)));
    }

    // A full picture is drawn in bands on several threads: whatever their number, the pixels
    // are those of one thread drawing it all, at every ratio, on plain paper and on paper;
    // and the sheet exported as an image is the same on any number of threads.
    void picturesAreTheSameOnAnyNumberOfThreads()
    {
        const QRect sheet1 = ComputeViewGeometry(2, 100, 96, 96, A4WidthInch, A4HeightInch).SheetOnSurface(1);
        const QRect viewport(sheet1.left() + 30, sheet1.top() - 350, 640, 560);
        for (qreal ratio : {1.0, 1.5, 2.0})
            for (PaperKind paper : {PaperKind::Plain, PaperKind::Squared5}) {
                SurfaceHost host(100, viewport, ratio);
                std::mt19937 random(11);
                FillDrawing(host.State(), random);
                host.State().Paper = paper;
                SetRenderThreads(1);
                const QImage one = host.FullRender();
                for (int threads : {2, 3, 5}) {
                    SetRenderThreads(threads);
                    QPoint first;
                    const int different = DifferentPixels(host.FullRender(), one, first);
                    QVERIFY2(different == 0, qPrintable(QString("ratio %1, %2 threads: %3 pixels differ, first at %4,%5")
                                                            .arg(ratio).arg(threads).arg(different)
                                                            .arg(first.x()).arg(first.y())));
                }
                SetRenderThreads(0);
            }
        DrawingState state;
        std::mt19937 random(12);
        FillDrawing(state, random);
        state.Paper = PaperKind::Millimetre;
        QImage one, several;
        SetRenderThreads(1);
        QCOMPARE(SheetImage(state, 2, 1, 150, one), ExportError::None);
        const std::vector<TextObject> boxes(&state.Texts.At(0), &state.Texts.At(0) + state.Texts.Count);
        SetRenderThreads(3);
        QCOMPARE(SheetImage(state, 2, 1, 150, several), ExportError::None);
        SetRenderThreads(0);
        QCOMPARE(several, one);
        for (int i = 0; i < state.Texts.Count; ++i) // the texts' boxes are measured as before
            QVERIFY(std::memcmp(&boxes[size_t(i)], &state.Texts.At(i), sizeof(TextObject)) == 0);
    }

    // After the window moved to a screen of another ratio, changes are still mended in the
    // kept pictures, now at that ratio, and show as a full render there.
    void changesAfterMovingToAnotherScreen()
    {
        const QRect sheet1 = ComputeViewGeometry(2, 100, 96, 96, A4WidthInch, A4HeightInch).SheetOnSurface(1);
        const QRect viewport(sheet1.left(), sheet1.top() - 260, 520, 440);
        SurfaceHost host(100, viewport, 1);
        std::mt19937 random(9);
        FillDrawing(host.State(), random);
        host.Repaint();
        host.PaintPending();
        host.MoveToScreen(1.5);
        host.PaintPending();
        const double s = host.Geometry().PixelsPerMm;
        const QPointF at((viewport.center().x() - PointerMarginPx) / s, (viewport.center().y() - PointerMarginPx) / s);
        for (int round = 0; round < 4; ++round) {
            AddObject(host, QStringLiteral("Linie"), [&](DrawingObject &o) {
                o.Kind = KindLine;
                o.PenWidth = 0.7;
                o.X1 = at.x() + 4 * round, o.Y1 = at.y();
                o.X2 = o.X1 + 25, o.Y2 = o.Y1 + 9 * round;
            });
            host.Repaint();
            host.PaintPending();
            QPoint first;
            QCOMPARE(DifferentPixels(host.Shown(), host.FullRender(), first), 0);
        }
        QCOMPARE(host.Whole, 1); // the first repaint alone
    }

    // The object index follows appends, inserts, deletes (the later objects move down one
    // place) and moves without rebuilding, and finds what a rebuilt index finds.
    void indexFollowsChangesWithoutRebuilding()
    {
        DrawingState state;
        std::mt19937 random(5);
        std::uniform_real_distribution<double> coordinate(-50, 400);
        auto fill = [&](DrawingObject &o) {
            o = DrawingObject{};
            o.Kind = uint32_t(random() % 5); // 4: a kind that draws nothing
            o.PenWidth = 0.5;
            o.X1 = coordinate(random), o.Y1 = coordinate(random);
            o.X2 = o.X1 + 30, o.Y2 = o.Y1 + (random() % 10 == 0 ? 900 : 20); // some very tall
            o.X3 = o.X1, o.Y3 = o.Y1, o.X4 = o.X2, o.Y4 = o.Y2;
        };
        for (int i = 0; i < 300; ++i)
            fill(*state.AppendObject());
        ObjectIndex followed;
        followed.Refresh(state);
        for (int round = 0; round < 200; ++round) {
            const int n = state.Objects.Count;
            switch (random() % 4) {
            case 0:
                fill(*state.AppendObject());
                break;
            case 1:
                fill(*state.InsertObject(int(random() % unsigned(n + 1))));
                break;
            case 2:
                state.DeleteObject(int(random() % unsigned(n)));
                break;
            default:
                fill(state.ChangeObject(int(random() % unsigned(n))));
            }
            if (round % 3 == 0)
                continue; // several changes between two looks
            followed.Refresh(state);
            ObjectIndex rebuilt;
            rebuilt.Refresh(state);
            for (int look = 0; look < 5; ++look) {
                const double left = coordinate(random), top = coordinate(random);
                std::vector<int> a, b;
                followed.Query(left, top, left + 40, top + 40, a);
                rebuilt.Query(left, top, left + 40, top + 40, b);
                QCOMPARE(a, b);
            }
        }
        QCOMPARE(followed.Rebuilds(), 1);
        // A drawing read anew is not described by the journal: the index is built again.
        state.ClearRecords();
        followed.Refresh(state);
        QCOMPARE(followed.Rebuilds(), 2);
    }
};

QTEST_MAIN(TestChangeRepaint)
#include "test_change_repaint.moc"
