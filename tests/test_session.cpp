// The document session without a window: opening a drawing in one step, the edit
// transaction that keeps the change journal and the history in step, and the settings with
// their limits and their history.
#include "support/file_helpers.h"
#include "support/answering_prompts.h"
#include "support/large_drawing_file.h"
#include "support/drawing_builder.h"

#include "document/drawing_file.h"
#include "session/document_session.h"

#include <QSignalSpy>
#include <QSysInfo>
#include <QtTest>


#include <sys/resource.h>
#include <unistd.h>

using namespace velmora;

namespace {

// Changes of the records compile only through the transaction.
template <class List> concept Growable = requires(List &list) { list.Append(); };
template <class State> concept Changeable = requires(State &state) { state.AppendObject(); state.ChangeText(0); };
static_assert(!Growable<decltype(std::declval<DrawingState &>().Objects)>);
static_assert(!Growable<decltype(std::declval<DrawingState &>().Texts)>);
static_assert(!Changeable<DrawingState>);

struct Session : AnsweringPrompts {
    TranslateTable table;
    Translator translation{table};
    QTemporaryDir recovery;
    DocumentSession session{translation, *this, recovery.path()};
    QSignalSpy read{&session, &DocumentSession::DrawingRead};
    QSignalSpy changed{&session, &DocumentSession::DrawingChanged};
    QSignalSpy settings{&session, &DocumentSession::SettingsChanged};

    void Forget()
    {
        read.clear();
        changed.clear();
        settings.clear();
    }
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void openingIsOneStep()
    {
        Session s;
        s.session.SetSheetCount(2); // a step and a change before
        s.answer = SessionPrompts::Answer::No;
        s.openPath = Sample("full.vlm");
        s.Forget();
        QVERIFY(s.session.Files.Open());
        // Read whole and shown once: no step of the history, no changed marker, no repaint
        // for each value on the way.
        QCOMPARE(s.read.size(), 1);
        QCOMPARE(s.changed.size(), 0);
        QCOMPARE(s.settings.size(), 0);
        QCOMPARE(s.session.History().count(), 0);
        QVERIFY(!s.session.IsModified());
        QCOMPARE(s.session.Settings().SheetCount, 3);
        QCOMPARE(s.session.Settings().Zoom, 150);
        QCOMPARE(s.session.Drawing().Objects.Count, 4);
        // Saved again as it was read: the same bytes but the texts' measured edges.
        QCOMPARE(WriteDrawingFile(s.session.Drawing(), s.session.FileSettings()).size(),
                 ReadAll(Sample("full.vlm")).size());

        // A damaged file changes nothing and shows nothing.
        s.Forget();
        s.openPath = Sample("damaged_tail_truncated.vlm");
        QVERIFY(!s.session.Files.Open());
        QCOMPARE(s.errors.size(), 1);
        QCOMPARE(s.read.size() + s.changed.size() + s.settings.size(), 0);
        QCOMPARE(s.session.Drawing().Objects.Count, 4);
        QCOMPARE(s.session.Settings().SheetCount, 3);
    }

    void anEditIsOneStepInJournalAndHistory()
    {
        Session s;
        EditTransaction &line = s.session.BeginEdit(QStringLiteral("Linie"));
        line.AppendObject()->X2 = 10;
        QVERIFY(s.session.IsModified()); // marked at the first change, before the commit
        line.Commit();
        const uint64_t before = s.session.Drawing().Changes.End();

        EditTransaction &edit = s.session.BeginEdit(QStringLiteral("Objekt verschieben"));
        QCOMPARE(&s.session.BeginEdit(QStringLiteral("anderes")), &edit); // the open one
        edit.ChangeObject(0).X1 = 5;
        edit.AppendObject();
        QVERIFY(edit.DeleteObject(1));
        s.Forget();
        edit.Commit();
        QCOMPARE(s.changed.size(), 1); // shown once
        QCOMPARE(s.session.History().count(), 2);
        QCOMPARE(s.session.History().undoText(), QStringLiteral("Objekt verschieben"));
        QCOMPARE(s.session.Drawing().Changes.End() - before, uint64_t(3)); // each change noted
        s.session.Undo();
        QCOMPARE(s.session.Drawing().Objects.Count, 1);
        QCOMPARE(s.session.Drawing().Objects.At(0).X1, 0.0);
        s.session.Redo();
        QCOMPARE(s.session.Drawing().Objects.At(0).X1, 5.0);

        // A change the tool drew already is kept without a repaint; nothing changed, no step.
        s.Forget();
        EditTransaction &stroke = s.session.BeginEdit(QStringLiteral("Bleistiftstrich"));
        stroke.AppendObject();
        s.session.Undo(); // not while the stroke is drawn
        QCOMPARE(s.session.Drawing().Objects.Count, 2);
        stroke.CommitShown();
        QCOMPARE(s.changed.size(), 0);
        s.session.BeginEdit(QStringLiteral("nichts")).Commit();
        QCOMPARE(s.session.History().count(), 3);

        // A gesture that turns out to be no drawing is taken back whole, marker and all.
        s.answer = SessionPrompts::Answer::No;
        QVERIFY(s.session.Files.New());
        EditTransaction &withdrawn = s.session.BeginEdit(QStringLiteral("Bleistiftstrich"));
        withdrawn.AppendObject();
        withdrawn.AppendObject();
        QVERIFY(s.session.IsModified());
        withdrawn.Cancel();
        QVERIFY(!s.session.IsModified());
        QCOMPARE(s.session.Drawing().Objects.Count, 0);
        QCOMPARE(s.session.History().count(), 0);
    }

    void settingsKeepTheirLimits()
    {
        Session s;
        s.session.SetZoom(1000);
        s.session.SetPenWidth(0);
        s.session.SetEraserSize(500);
        s.session.SetSheetCount(12);
        const DrawingSettings now = s.session.Settings();
        QCOMPARE(now.Zoom, 300);
        QCOMPARE(now.PenWidth, 0.01);
        QCOMPARE(now.EraserSize, 100.0);
        QCOMPARE(now.SheetCount, 10);
        QCOMPARE(s.settings.size(), 4);
        QCOMPARE(s.settings.last().at(0).value<DrawingSettings>(), now);
        QVERIFY(!s.session.History().isClean()); // the sheet count is a step; the rest are not
        QCOMPARE(s.session.History().count(), 1);
        s.session.SetSheetCount(3);
        QCOMPARE(s.session.History().count(), 1); // steps in a row are one
        s.session.Undo();
        QCOMPARE(s.session.Settings().SheetCount, 1);
    }

    // Before, a chunk of a newer program was dropped on opening and lost by the next save.
    void aNewerProgramsChunksSurviveASave()
    {
        Session s;
        DrawingState drawing;
        DrawingBuilder(drawing).Line(10, 10, 50, 50, 0.5);
        DrawingFileSettings newer;
        SetChunk(newer.Chunks, MakeChunkTag("ZUKU"), "von morgen");
        const QString path = s.recovery.filePath("neuer.vlm");
        WriteAll(path, WriteDrawingFile(drawing, newer));
        QVERIFY(s.session.Files.OpenFile(path));
        s.session.SetSheetCount(2);
        QVERIFY(s.session.Files.Save());
        DrawingState read;
        DrawingFileSettings saved;
        saved.KeepEveryChunk = true;
        QCOMPARE(LoadDrawingFile(path, read, saved), DrawingFileError::None);
        QCOMPARE(SheetCountOf(saved), 2);
        QVERIFY(FindChunk(saved.Chunks, MakeChunkTag("ZUKU")));
        QCOMPARE(*FindChunk(saved.Chunks, MakeChunkTag("ZUKU")), QByteArray("von morgen"));
        s.session.Files.New(); // an empty drawing holds none
        QVERIFY(s.session.FileSettings().Chunks.empty());
    }

    // Before, a recovery copy cut short was deleted unasked after "beschädigt".
    void aDamagedRecoveryCopyGivesWhatCanBeRead()
    {
        DrawingState drawing;
        {
            DrawingBuilder build(drawing);
            for (int i = 0; i < 10; ++i)
                build.Line(10, 10 + i, 100, 10 + i, 0.5);
        }
        const QByteArray whole = WriteDrawingFile(drawing, DrawingFileSettings());
        for (const int cut : {4 + 88 * 6 + 40, 2}) { // six whole lines; nothing readable
            Session s;
            const QString slot = s.recovery.filePath("drawing-1-1");
            WriteAll(slot + ".vlm", whole.left(cut));
            WriteAll(slot + ".name", QDir::temp().filePath("Aufgabe 9.vlm").toUtf8());
            s.recoveryAnswer = SessionPrompts::RecoveryAnswer::Restore;
            s.session.Recovery.Offer();
            const QString kept = s.recovery.filePath("damaged/drawing-1-1.vlm");
            QCOMPARE(ReadAll(kept), whole.left(cut)); // put aside, not offered again
            QCOMPARE(s.errors.size(), 1);
            QVERIFY2(s.errors[0].contains(kept), qPrintable(s.errors[0]));
            QCOMPARE(s.session.Drawing().Objects.Count, cut > 2 ? 6 : 0);
            // Under a new name: Save never writes a part over the drawing's own file.
            QVERIFY(s.session.FileName().isEmpty());
            QCOMPARE(s.session.IsModified(), cut > 2);
            s.errors.clear();
            s.session.Recovery.Offer();
            QVERIFY(s.errors.isEmpty() && s.questions.size() == 1);
        }
    }

    // Before, a copy beside an empty lock (a power cut) or another computer's lock (a home on
    // a network drive) was never offered; one a living run of this computer holds still is not.
    void copiesNoLivingRunHoldsAreOffered()
    {
        Session s;
        const QString alive = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        const QByteArray locks[] = {
            "",
            "4242\nvelmora\nanother-computer\n",
            QByteArray::number(getpid()) + "\n" + alive.toUtf8() + "\n" + QSysInfo::machineHostName().toUtf8() + "\n",
        };
        for (int i = 0; i < 3; ++i) {
            const QString slot = s.recovery.filePath(QStringLiteral("drawing-%1-1").arg(i));
            QFile::copy(Sample("full.vlm"), slot + ".vlm");
            WriteAll(slot + ".name", QStringLiteral("/schule/Aufgabe %1.vlm").arg(i).toUtf8());
            WriteAll(slot + ".lock", locks[i]);
        }
        s.session.Recovery.Offer(); // decided later: kept
        QCOMPARE(s.questions.size(), 2);
        QVERIFY(s.questions.join('\n').contains("Aufgabe 0.vlm"));
        QVERIFY(s.questions.join('\n').contains("Aufgabe 1.vlm"));
        QCOMPARE(QDir(s.recovery.path()).entryList({"*.vlm"}).size(), 3);
    }

    // Before, the recovery copy of a drawing too large for a second copy in memory ended the
    // program (std::bad_alloc from the timer), and saving it did too; both are streamed now.
    void aDrawingWithoutRoomForACopyIsSavedAndKept()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("under the sanitizers the program reserves more address space than any limit allows");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath("large.vlm");
        constexpr int Lines = 1000000; // 88 MB, more than a malloc arena keeps in reserve
        QVERIFY(WriteObjectsFile(path, Lines, [](int i) {
            return DrawingObject{KindLine, 0, 0.3, double(i % 200), 20, 30, 40, 0, 0, 0, 0, 0, 0};
        }));
        const QString failed = RunInForkedChild(60, [&] {
            Session s;
            if (!s.session.Files.OpenFile(path))
                _exit(2);
            s.session.SetSheetCount(2); // a change worth a copy
            LimitAddressSpace(20 * 1024 * 1024);
            // Opening it again needs a second copy of the records: refused, said, the
            // drawing as it was.
            if (s.session.Files.OpenFile(path) || s.errors.size() != 1 ||
                !s.errors[0].endsWith("nicht genug Arbeitsspeicher") || s.errors[0].contains("beschädigt") ||
                s.session.Drawing().Objects.Count != Lines || !s.session.IsModified())
                _exit(6);
            s.errors.clear();
            const bool copied = s.session.Recovery.Write() && s.statuses.isEmpty() &&
                                QFileInfo(s.session.Recovery.Store().CopyPath()).size() > qint64(Lines) * 88;
            _exit(!copied ? 3 : s.session.Files.Save() && s.errors.isEmpty() ? 0 : 4);
            return 0;
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        DrawingState read;
        DrawingFileSettings settings;
        QCOMPARE(LoadDrawingFile(path, read, settings), DrawingFileError::None);
        QCOMPARE(SheetCountOf(settings), 2);
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
