// The real program touched from outside, as a touch table touches it: started with Qt's TUIO
// plugin listening on a UDP port, fed cursor bundles (OSC) for a two-finger twist of the
// ruler, the compass worked with two hands and a pinch. Its recovery copy shows what it keeps:
// the ruler's place and angle, the arc, the zoom.
#include "support/started_program.h"
#include "support/window_fixture.h"

#include <QDirIterator>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using namespace velmora;

namespace {

// OSC: strings end in a zero and are padded to four bytes, numbers are big-endian.
void Pad(QByteArray &out)
{
    do
        out.append('\0');
    while (out.size() % 4);
}
QByteArray Message(const char *address, const QByteArray &tags, const QList<QVariant> &arguments)
{
    QByteArray out(address);
    Pad(out);
    out.append(',' + tags);
    Pad(out);
    for (const QVariant &a : arguments) {
        if (a.typeId() == QMetaType::QByteArray) {
            out.append(a.toByteArray());
            Pad(out);
        } else if (a.typeId() == QMetaType::Int) {
            out.append(QByteArray(4, '\0'));
            qToBigEndian<qint32>(a.toInt(), out.data() + out.size() - 4);
        } else {
            const float f = a.toFloat();
            quint32 bits;
            std::memcpy(&bits, &f, 4);
            out.append(QByteArray(4, '\0'));
            qToBigEndian<quint32>(bits, out.data() + out.size() - 4);
        }
    }
    return out;
}

class TuioTable {
public:
    explicit TuioTable(quint16 port) : port_(port) {}
    // One frame: the cursors on the table, at positions from 0 to 1 across the window.
    void Frame(const QMap<int, QPointF> &cursors)
    {
        QByteArray bundle("#bundle");
        bundle.append('\0');
        bundle.append(QByteArray("\0\0\0\0\0\0\0\1", 8)); // at once
        const auto add = [&bundle](const QByteArray &message) {
            bundle.append(QByteArray(4, '\0'));
            qToBigEndian<qint32>(qint32(message.size()), bundle.data() + bundle.size() - 4);
            bundle.append(message);
        };
        QList<QVariant> alive{QByteArray("alive")};
        for (int id : cursors.keys())
            alive << id;
        add(Message("/tuio/2Dcur", "s" + QByteArray(int(cursors.size()), 'i'), alive));
        for (auto it = cursors.begin(); it != cursors.end(); ++it)
            add(Message("/tuio/2Dcur", "sifffff",
                        {QByteArray("set"), it.key(), float(it.value().x()), float(it.value().y()), 0.0f, 0.0f, 0.0f}));
        add(Message("/tuio/2Dcur", "si", {QByteArray("fseq"), ++frame_}));
        socket_.writeDatagram(bundle, QHostAddress::LocalHost, port_);
        QTest::qWait(15);
    }
    // Two cursors moved in steps from (a0, b0) to (a1, b1), then lifted.
    void Two(QPointF a0, QPointF b0, QPointF a1, QPointF b1)
    {
        for (int i = 0; i <= 10; ++i) {
            const double t = i / 10.0;
            Frame({{1, a0 + t * (a1 - a0)}, {2, b0 + t * (b1 - b0)}});
        }
        Frame({});
        QTest::qWait(100);
    }

private:
    QUdpSocket socket_;
    quint16 port_;
    int frame_ = 0;
};

QPointF Turned(QPointF p, QPointF mid, double degrees)
{
    const double t = qDegreesToRadians(degrees);
    const QPointF r = p - mid;
    return mid + QPointF(r.x() * std::cos(t) - r.y() * std::sin(t), r.x() * std::sin(t) + r.y() * std::cos(t));
}

class TouchTableTest : public QObject {
    Q_OBJECT
private slots:
    void twistArcAndPinch()
    {
        // The same window in this process tells where its surface lies and its scale.
        WindowFixture mirror;
        QVERIFY(mirror.WaitExposed());
        QWidget *box = mirror->Surface().paintBox;
        const QPoint offset = box->mapTo(mirror.form.get(), QPoint(0, 0));
        const QSizeF size = mirror->size();
        const double s = mirror->Surface().View.PixelsPerMm();
        const auto at = [&](QPointF mm) {
            return QPointF((mm.x() * s + 5 + offset.x()) / size.width(), (mm.y() * s + 5 + offset.y()) / size.height());
        };
        quint16 port;
        {
            QUdpSocket probe;
            QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
            port = probe.localPort();
        }
        StartedProgram program;
        const QString failed = program.Start(mirror.Session(), {{"QT_QPA_PLATFORM", "offscreen"},
                                                                {"QT_QPA_GENERIC_PLUGINS", QStringLiteral("tuiotouch:udp=%1").arg(port)},
                                                                {"VELMORA_RECOVERY_SECONDS", "1"}});
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        const QTemporaryDir &dir = program.Dir;
        QTest::qWait(300);

        TuioTable table(port);
        // The ruler twisted by 30 degrees about the fingers' midpoint.
        const QPointF a(50, 95), b(90, 95), mid = (a + b) / 2;
        table.Two(at(a), at(b), at(Turned(a, mid, 30)), at(Turned(b, mid, 30)));
        // The compass: needle held, lead turned (a change of the drawing: the recovery copy follows).
        const InstrumentPlacement compass;
        const double c = qDegreesToRadians(compass.CompassAngle);
        const QPointF needle(compass.CompassX, compass.CompassY);
        const QPointF lead = needle + compass.CompassSpan * QPointF(std::cos(c), std::sin(c));
        const QPointF ahead = needle + compass.CompassSpan * QPointF(std::cos(c + 0.7), std::sin(c + 0.7));
        table.Two(at(needle), at(lead), at(needle), at(ahead));
        // A pinch on the paper from 200 to 300 pixels apart.
        const QPointF left = at({110, 20}), right = left + QPointF(200 / size.width(), 0);
        table.Two(left, right, left - QPointF(50 / size.width(), 0), right + QPointF(50 / size.width(), 0));

        DrawingState kept;
        DrawingFileSettings settings;
        const auto copyShows = [&] {
            QDirIterator copies(dir.filePath("data"), {"*.vlm"}, QDir::Files, QDirIterator::Subdirectories);
            while (copies.hasNext()) {
                DrawingState read;
                DrawingFileSettings readSettings;
                if (LoadDrawingFile(copies.next(), read, readSettings) == DrawingFileError::None &&
                    read.Objects.Count == 1 && readSettings.Zoom == 150) {
                    kept.TakeRecords(read);
                    settings = readSettings;
                    return true;
                }
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(copyShows(), 10000);

        QCOMPARE(settings.Placement.RulerAngle, 30.0);
        // The ruler's points under the fingers stay under them.
        const QPointF ref(settings.Placement.RulerX, settings.Placement.RulerY);
        const QPointF aNow = Turned(a - QPointF(10, 90), {0, 0}, 30) + ref;
        QVERIFY(std::hypot(aNow.x() - Turned(a, mid, 30).x(), aNow.y() - Turned(a, mid, 30).y()) < 1.0);
        QCOMPARE(kept.Objects.At(0).Kind, uint32_t(KindArc));
    }
};

} // namespace

QTEST_MAIN(TouchTableTest)
#include "touch_table.moc"
