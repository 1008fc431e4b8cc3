// The drawing file: sizes of both generations, byte-identical round trips of the sample
// files, every kind of damage refused without reading past the end and named, the chunks
// after the paper, what a salvage keeps of a damaged file, and saving as a stream.
#include "support/drawing_builder.h"
#include "support/file_helpers.h"
#include "support/large_drawing_file.h"
#include "document/drawing_file.h"
#include "document/file_names.h"
#include "render/output/sheet_export.h"

#include <QtTest>

#include <new>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;

namespace {

QByteArray SampleBytes(const QString &name)
{
    QFile file(Sample(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

void AddText(DrawingState &drawing, const QString &content, const char *font)
{
    DrawingBuilder(drawing).Text(1, 2, content, 12, font);
}

void AddLine(DrawingState &drawing, double x)
{
    DrawingBuilder(drawing).Line(x, 0, 0, 2 * x, 0.5, 0);
}

const ChunkTag TestTag = MakeChunkTag("TEST");

// A device that takes a number of bytes and then fails, as a disk that fills up.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (size > room_)
            return -1;
        room_ -= size;
        return size;
    }

private:
    qint64 room_;
};

} // namespace

class TestDrawingFile : public QObject {
    Q_OBJECT
private slots:
    void sizesOfBothGenerations()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(WriteDrawingFile(drawing, settings).size(), 136);
        AddText(drawing, "abc", "Arial");
        QCOMPARE(WriteDrawingFile(drawing, settings).size(), 136 + 75);
        settings.HasTail = false;
        QCOMPARE(WriteDrawingFile(drawing, settings).size(), 136 + 75 - 32);
        DrawingBuilder(drawing).Blank();
        QCOMPARE(WriteDrawingFile(drawing, settings).size(), 136 + 75 - 32 + 88);
    }

    void layoutOfTheTail()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        settings.Placement.RulerX = 12.5;
        settings.PenColour = 0x00332211;
        settings.EntryBarShown = true;
        settings.CompassShown = false;
        settings.PageCount = 4;
        const QByteArray bytes = WriteDrawingFile(drawing, settings);
        QCOMPARE(qFromLittleEndian<double>(bytes.constData() + 8), 12.5);        // field 5
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 8 + 88), 0x00332211u); // field 16
        QCOMPARE(bytes.mid(8 + 92, 4), QByteArray("\x01\x01\x01\x00", 4));        // fields 17 to 20
        QCOMPARE(qFromLittleEndian<double>(bytes.constData() + 128), 4.0);       // field 24
    }

    void samplesReadAndWriteBackIdentically_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"full.vlm", "old_generation.vlm", "out_of_range.vlm", "empty_drawing.vlm"})
            QTest::newRow(name) << name;
    }
    void samplesReadAndWriteBackIdentically()
    {
        QFETCH(QString, name);
        const QByteArray original = SampleBytes(name);
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(original, drawing, settings), DrawingFileError::None);
        QCOMPARE(WriteDrawingFile(drawing, settings), original);
    }

    void fullSampleContents()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(SampleBytes("full.vlm"), drawing, settings), DrawingFileError::None);
        QCOMPARE(drawing.Objects.Count, 4);
        QCOMPARE(drawing.Objects.At(0).Padding1, 0xDEADBEEFu);
        QCOMPARE(drawing.Objects.At(2).Kind, uint32_t(KindEllipse));
        QCOMPARE(drawing.Objects.At(3).Y4, 8.0);
        QCOMPARE(drawing.Texts.Count, 1);
        const TextObject &text = drawing.Texts.At(0);
        QCOMPARE(TextString(text), QStringLiteral("Höhe h\r\nA&B €"));
        QCOMPARE(FontNameString(text), QStringLiteral("Arial"));
        QCOMPARE(text.Size, 14);
        QCOMPARE(text.Style, uint8_t(5));
        QCOMPARE(settings.Zoom, 150.0);
        QCOMPARE(settings.PenColour, 0x80402010u);
        QVERIFY(settings.EntryBarShown && !settings.RulerShown && settings.ProtractorShown && !settings.CompassShown);
        QCOMPARE(settings.PageCount, 3.0);
        QVERIFY(settings.HasTail);
    }

    void olderGenerationKeepsTheTailItWasGiven()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        settings.EraserSize = 7;
        settings.PageCount = 5;
        settings.PageWidthInch = 3;
        QCOMPARE(ReadDrawingFile(SampleBytes("old_generation.vlm"), drawing, settings), DrawingFileError::None);
        QVERIFY(!settings.HasTail);
        QCOMPARE(settings.EraserSize, 7.0);
        QCOMPARE(settings.PageCount, 5.0);
        QCOMPARE(settings.PageWidthInch, 3.0);
        QCOMPARE(settings.Zoom, 50.0);
        QCOMPARE(drawing.Objects.Count, 1);
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DrawingFileError>("error");
        QTest::newRow("empty") << "damaged_empty.vlm" << DrawingFileError::Truncated;
        QTest::newRow("negative count") << "damaged_count_negative.vlm" << DrawingFileError::BadCount;
        QTest::newRow("huge count") << "damaged_count_huge.vlm" << DrawingFileError::BadCount;
        QTest::newRow("object cut") << "damaged_object_truncated.vlm" << DrawingFileError::BadCount;
        QTest::newRow("huge text count") << "damaged_text_count_huge.vlm" << DrawingFileError::BadCount;
        QTest::newRow("negative text") << "damaged_text_length_negative.vlm" << DrawingFileError::BadLength;
        QTest::newRow("huge text") << "damaged_text_length_huge.vlm" << DrawingFileError::BadLength;
        QTest::newRow("huge font name") << "damaged_font_length_huge.vlm" << DrawingFileError::BadLength;
        QTest::newRow("settings cut") << "damaged_settings_truncated.vlm" << DrawingFileError::Truncated;
        QTest::newRow("tail cut") << "damaged_tail_truncated.vlm" << DrawingFileError::Truncated;
        QTest::newRow("NaN coordinate") << "damaged_nan_coordinate.vlm" << DrawingFileError::NotFinite;
        QTest::newRow("infinite zoom") << "damaged_infinite_zoom.vlm" << DrawingFileError::NotFinite;
        QTest::newRow("zero sheet") << "damaged_zero_sheet.vlm" << DrawingFileError::BadSheetSize;
        QTest::newRow("unknown paper") << "damaged_paper_unknown.vlm" << DrawingFileError::BadPaper;
        QTest::newRow("paper cut") << "damaged_paper_truncated.vlm" << DrawingFileError::Truncated;
        QTest::newRow("sheet too large") << "damaged_sheet_too_large.vlm" << DrawingFileError::BadSheetSize;
        QTest::newRow("sheet too small") << "damaged_sheet_too_small.vlm" << DrawingFileError::BadSheetSize;
        QTest::newRow("chunk cut") << "damaged_chunk_cut.vlm" << DrawingFileError::ChunkTruncated;
        QTest::newRow("chunk head cut") << "damaged_chunk_head_cut.vlm" << DrawingFileError::ChunkTruncated;
        QTest::newRow("chunk length negative") << "damaged_chunk_length_negative.vlm"
                                               << DrawingFileError::ChunkTruncated;
        QTest::newRow("chunk tag") << "damaged_chunk_tag.vlm" << DrawingFileError::BadChunkTag;
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(DrawingFileError, error);
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(SampleBytes(name), drawing, settings), error);
        // Read from the disk in pieces, the file is refused for the same reason.
        DrawingState loaded;
        FileOutcome opened;
        QCOMPARE(LoadDrawingFile(QStringLiteral(TEST_DATA_DIR "/") + name, loaded, settings, &opened), error);
        QVERIFY(opened.Ok());
    }

    void everyDamageHasATranslatedReason()
    {
        // The window says why a file was refused, in the program's language.
        QFile table(QStringLiteral(TRANSLATIONS_TSV));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        QHash<QString, QStringList> rows;
        for (const QString &line : QString::fromUtf8(table.readAll()).split('\n'))
            rows.insert(line.section('\t', 0, 0), line.split('\t').mid(1));
        for (int kind = int(DrawingFileError::Truncated); kind <= int(DrawingFileError::ChunkTruncated); ++kind) {
            const QString reason = DrawingFileErrorText(DrawingFileError(kind));
            QVERIFY2(!reason.isEmpty(), qPrintable(QString::number(kind)));
            QVERIFY2(rows.value(reason).size() == 2 && !rows.value(reason).contains(QString()), qPrintable(reason));
        }
        QVERIFY(DrawingFileErrorText(DrawingFileError::None).isEmpty());
        QCOMPARE(DrawingFileErrorText(DrawingFileError::OutOfMemory), QStringLiteral("nicht genug Arbeitsspeicher"));
    }

    void sheetsWithinTheExportersLimitsAreRead()
    {
        static_assert(MinSheetSideMm == MinExportSideMm && MaxSheetSideMm == MaxPageSideMm);
        for (double mm : {0.1, 5080.0, 0.099, 5080.5}) {
            DrawingFileSettings settings;
            settings.PageWidthInch = mm / MmPerInch;
            DrawingState drawing, read;
            const DrawingFileError error = ReadDrawingFile(WriteDrawingFile(drawing, settings), read, settings);
            QCOMPARE(error, mm >= 0.1 && mm <= 5080 ? DrawingFileError::None : DrawingFileError::BadSheetSize);
        }
    }

    void loadingAFileChecksItFirst()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        FileOutcome reason;
        QCOMPARE(LoadDrawingFile(QStringLiteral(TEST_DATA_DIR "/full.vlm"), drawing, settings, &reason),
                 DrawingFileError::None);
        QCOMPARE(drawing.Objects.Count, 4);
        DrawingState missing;
        QCOMPARE(LoadDrawingFile(QStringLiteral(TEST_DATA_DIR "/no_such_file.vlm"), missing, settings, &reason),
                 DrawingFileError::CannotOpen);
        QVERIFY(!reason.Ok() && !reason.Reason.isEmpty());
    }

    void everySizeTheWriterWritesIsRead()
    {
        // Before, a file over 1 GiB was refused unread although the writer has no such limit.
        // Now there is no limit on the file: a 2 GiB chunk the reader does not know (a sparse
        // file here) is passed over unread, and a file of zeros is refused at once as damaged.
        QTemporaryDir dir;
        DrawingState drawing;
        AddLine(drawing, 3);
        DrawingFileSettings settings;
        SetChunk(settings.Chunks, MakeChunkTag("ZZZZ"), QByteArray(1, 'z'));
        QByteArray head = WriteDrawingFile(drawing, settings);
        head.chop(5);
        head += QByteArray::fromHex("ffffff7f");
        QFile huge(dir.filePath("huge.vlm"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write(head) == head.size() &&
                huge.resize(head.size() + 0x7fffffff));
        huge.close();
        DrawingState read;
        DrawingFileSettings readSettings;
        QCOMPARE(LoadDrawingFile(huge.fileName(), read, readSettings), DrawingFileError::None);
        QCOMPARE(read.Objects.Count, 1);
        QVERIFY(readSettings.Chunks.empty());
        QVERIFY(huge.resize(qint64(1) << 31)); // cut inside the chunk
        DrawingState zeros;
        QCOMPARE(LoadDrawingFile(huge.fileName(), zeros, readSettings), DrawingFileError::ChunkTruncated);
        QFile blank(dir.filePath("blank.vlm"));
        QVERIFY(blank.open(QIODevice::WriteOnly) && blank.resize((qint64(1) << 30) + 1));
        blank.close();
        QCOMPARE(LoadDrawingFile(blank.fileName(), zeros, readSettings), DrawingFileError::BadSheetSize);
    }

    void chunksFollowThePaper()
    {
        DrawingState drawing;
        AddText(drawing, "abc", "Arial");
        DrawingFileSettings settings;
        const QByteArray plain = WriteDrawingFile(drawing, settings);
        SetChunk(settings.Chunks, TestTag, QByteArray()); // empty: not written
        QCOMPARE(WriteDrawingFile(drawing, settings), plain);

        ChunkWriter place;
        place.Double(12.5);
        place.Byte(true);
        SetChunk(settings.Chunks, TestTag, place.Data());
        SetChunk(settings.Chunks, MakeChunkTag("Else"), QByteArray("%PDF", 4));
        const QByteArray bytes = WriteDrawingFile(drawing, settings);
        QCOMPARE(bytes.left(plain.size()), plain);
        // Plain paper is written as 0 when chunks follow it.
        QCOMPARE(bytes.mid(plain.size(), 4 + 8), QByteArray("\0\0\0\0TEST\x09\0\0\0", 12));
        QCOMPARE(bytes.size(), plain.size() + 4 + 8 + 9 + 8 + 4);

        // A reader keeps the tags it knows and skips the others; unknown to it, all of them.
        DrawingState again;
        DrawingFileSettings read;
        read.WantedChunks = {TestTag};
        QCOMPARE(ReadDrawingFile(bytes, again, read), DrawingFileError::None);
        QCOMPARE(int(read.Chunks.size()), 1);
        ChunkReader fields(*FindChunk(read.Chunks, TestTag));
        double x = 0;
        bool shown = false;
        QVERIFY(fields.Double(x) && fields.Byte(shown) && fields.AtEnd() && !fields.Byte(shown));
        QCOMPARE(x, 12.5);
        QVERIFY(shown);
        DrawingState older;
        DrawingFileSettings olderSettings;
        olderSettings.Chunks = settings.Chunks; // what a file does not hold is not kept
        QCOMPARE(ReadDrawingFile(bytes, older, olderSettings), DrawingFileError::None);
        QVERIFY(olderSettings.Chunks.empty());
        QCOMPARE(WriteDrawingFile(older, olderSettings), plain);

        // An old-generation drawing with a chunk gains the tail and the paper field before it.
        settings.HasTail = false;
        SetChunk(settings.Chunks, MakeChunkTag("Else"), QByteArray());
        const QByteArray old = WriteDrawingFile(drawing, settings);
        QCOMPARE(old.size(), plain.size() + 4 + 8 + 9);
        read.Chunks.clear();
        QCOMPARE(ReadDrawingFile(old, again, read), DrawingFileError::None);
        QVERIFY(read.HasTail);

        // The sample with an unknown chunk and a known one.
        DrawingState sample;
        DrawingFileSettings sampleSettings;
        sampleSettings.WantedChunks = {TestTag};
        QCOMPARE(ReadDrawingFile(SampleBytes("chunks.vlm"), sample, sampleSettings), DrawingFileError::None);
        QCOMPARE(sample.Texts.Count, 1);
        QCOMPARE(*FindChunk(sampleSettings.Chunks, TestTag), QByteArray("\x01\x02", 2));
    }

    void everyCutOfAChunkIsRefused()
    {
        const QByteArray full = SampleBytes("chunks.vlm");
        const int chunksFrom = full.size() - (8 + 3) - (8 + 2);
        for (int length = chunksFrom; length < full.size(); ++length) {
            DrawingState drawing;
            DrawingFileSettings settings;
            const DrawingFileError error = ReadDrawingFile(full.left(length), drawing, settings);
            QCOMPARE(error == DrawingFileError::None, length == chunksFrom || length == chunksFrom + 11);
        }
    }

    void everyCutOfAGoodFileIsRefused()
    {
        // A file cut anywhere but after the four visibility bytes is damaged.
        const QByteArray full = SampleBytes("full.vlm");
        const int oldEnd = full.size() - SettingsBytesTail;
        for (int length = 0; length < full.size(); ++length) {
            DrawingState drawing;
            DrawingFileSettings settings;
            const DrawingFileError error = ReadDrawingFile(full.left(length), drawing, settings);
            QCOMPARE(error == DrawingFileError::None, length == oldEnd);
        }
    }

    void roundTripKeepsEveryBit()
    {
        DrawingState drawing;
        for (int i = 0; i < 250; ++i) { // past two capacity granules
            DrawingObject *o = &DrawingBuilder(drawing).Blank();
            std::memset(o, i, sizeof *o);
            o->Kind = uint32_t(i % 5);
            o->PenWidth = 0.1 * i;
            o->X1 = -1e-300 * i;
            o->Y4 = 1e300 / (i + 1);
            o->Colour = 0xFF000000u | uint32_t(i);
        }
        AddText(drawing, QStringLiteral("𝔸 Zeile\nzwei"), "Fran\xe7ois");
        DrawingFileSettings settings;
        settings.PenWidth = 0.123456789;
        const QByteArray bytes = WriteDrawingFile(drawing, settings);
        DrawingState again;
        DrawingFileSettings read;
        QCOMPARE(ReadDrawingFile(bytes, again, read), DrawingFileError::None);
        QCOMPARE(again.Objects.Count, 250);
        for (int i = 0; i < 250; ++i)
            QCOMPARE(std::memcmp(&again.Objects.At(i), &drawing.Objects.At(i), 88), 0);
        QCOMPARE(TextString(again.Texts.At(0)), QStringLiteral("𝔸 Zeile\nzwei"));
        QCOMPARE(read.PenWidth, 0.123456789);
        QCOMPARE(WriteDrawingFile(again, read), bytes);
    }

    void readingFromTheDiskInPiecesReadsTheSame()
    {
        // Larger than the reader's buffer: texts across its refills, a text longer than it.
        DrawingState drawing;
        for (int i = 0; i < 3000; ++i)
            AddLine(drawing, i);
        for (int i = 0; i < 700; ++i)
            AddText(drawing, QString(i % 97, QChar('a' + i % 26)), "Arial");
        AddText(drawing, QString(40000, QChar(0x20AC)), "Liberation Sans");
        DrawingFileSettings settings;
        settings.Paper = PaperKind::Dotted5;
        SetChunk(settings.Chunks, TestTag, QByteArray(100000, 'w'));
        QTemporaryDir dir;
        const QString path = dir.filePath("large.vlm");
        QVERIFY(SaveDrawingFile(path, drawing, settings).Ok());
        const QByteArray bytes = WriteDrawingFile(drawing, settings);
        QCOMPARE(ReadAll(path), bytes);
        DrawingState loaded;
        DrawingFileSettings read;
        read.WantedChunks = {TestTag};
        QCOMPARE(LoadDrawingFile(path, loaded, read), DrawingFileError::None);
        QCOMPARE(WriteDrawingFile(loaded, read), bytes);
    }

    void salvageKeepsWhatIsWholeBeforeTheDamage()
    {
        // A recovery copy cut anywhere: the whole objects and texts before the cut come back,
        // the settings when they were read to their end, and the reader's refusal stays.
        DrawingState drawing;
        for (int i = 0; i < 5; ++i)
            AddLine(drawing, i + 1);
        const int textLengths[] = {3, 0, 7};
        for (int length : textLengths)
            AddText(drawing, QString(length, 'x'), "Arial");
        DrawingFileSettings settings;
        settings.Paper = PaperKind::Squared10;
        settings.Zoom = 200;
        SetChunk(settings.Chunks, TestTag, "data");
        const QByteArray full = WriteDrawingFile(drawing, settings);
        const int objectsEnd = 4 + 5 * 88;
        std::vector<int> textEnds;
        int at = objectsEnd + 4;
        for (int length : textLengths)
            textEnds.push_back(at += 56 + 4 + 2 * length + 4 + 5);
        // Each of these ends a sound file: the older generation, the tail, the paper.
        const int oldEnd = at + 96, tailEnd = oldEnd + 32, settingsEnd = tailEnd + 4;
        for (int length = 0; length <= full.size(); ++length) {
            DrawingState part;
            DrawingFileSettings read;
            read.WantedChunks = {TestTag};
            const SalvagedDrawing salvaged = SalvageDrawingFile(full.left(length), part, read);
            const bool whole = length == oldEnd || length == tailEnd || length == settingsEnd || length == full.size();
            QVERIFY2((salvaged.Damage == DrawingFileError::None) == whole, qPrintable(QString::number(length)));
            QCOMPARE(part.Objects.Count, std::clamp((length - 4) / 88, 0, 5));
            const int texts = length < objectsEnd + 4 ? 0 : int(std::count_if(textEnds.begin(), textEnds.end(), [&](int end) { return end <= length; }));
            QCOMPARE(part.Texts.Count, texts);
            const bool settingsRead = length == oldEnd || length == tailEnd || length >= settingsEnd;
            QCOMPARE(salvaged.SettingsRead, settingsRead);
            QCOMPARE(read.Zoom, settingsRead ? 200.0 : 100.0);
            QCOMPARE(read.Chunks.size(), size_t(length == full.size()));
        }
        // A value that is no number ends the objects before it; the file on the disk is salvaged
        // the same way, while opening it refuses it whole.
        QByteArray damaged = full;
        qToLittleEndian(qQNaN(), damaged.data() + 4 + 2 * 88 + 16);
        QTemporaryDir dir;
        const QString path = dir.filePath("cut.vlm");
        QVERIFY(WriteAll(path, damaged));
        DrawingState part, opened;
        DrawingFileSettings read;
        const SalvagedDrawing salvaged = SalvageDrawingFile(path, part, read);
        QCOMPARE(salvaged.Damage, DrawingFileError::NotFinite);
        QCOMPARE(part.Objects.Count, 2);
        QCOMPARE(part.Objects.At(1).X1, 2.0);
        QCOMPARE(LoadDrawingFile(path, opened, read), DrawingFileError::NotFinite);
    }

    // Before, saving built the whole file in memory first: a drawing that fitted in memory once
    // could not be saved, and the failure aborted the program.
    void savingNeedsNoSecondCopyOfTheDrawing()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("under the sanitizers the program reserves more address space than any limit allows");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath("large.vlm");
        // 88 MB: more than a malloc arena keeps in reserve (64 MB), which a copy could use.
        constexpr int Lines = 1000000;
        // The drawing comes from a file: built through edits, its undo record would leave freed
        // memory behind for a copy to use.
        const QString source = dir.filePath("source.vlm");
        QVERIFY(WriteObjectsFile(source, Lines, [](int i) {
            return DrawingObject{KindLine, 0, 0.3, double(i % 200), 20, 30, 40, 0, 0, 0, 0, 0, 0};
        }));
        const QString failed = RunInForkedChild(60, [&] {
            DrawingState drawing;
            DrawingFileSettings opened;
            if (LoadDrawingFile(source, drawing, opened) != DrawingFileError::None || drawing.Objects.Count != Lines)
                _exit(4);
            LimitAddressSpace(20 * 1024 * 1024); // not the 88 MB a copy of the file needs
            const bool saved = SaveDrawingFile(path, drawing, DrawingFileSettings()).Ok();
            bool copyFails = false;
            try {
                (void)WriteDrawingFile(drawing, DrawingFileSettings());
            } catch (const std::bad_alloc &) {
                copyFails = true;
            }
            _exit(saved ? (copyFails ? 0 : 3) : 2);
            return 0;
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        DrawingState read;
        DrawingFileSettings settings;
        QCOMPARE(LoadDrawingFile(path, read, settings), DrawingFileError::None);
        QCOMPARE(read.Objects.Count, Lines);
    }

    void fileNamesKeepTheirBytes()
    {
        // Names that are not UTF-8 survive the trip through a QString byte for byte: stray
        // bytes, overlong forms, encoded surrogates, a sequence cut short.
        for (const QByteArray &bytes : {QByteArray("plain.vlm"), QByteArray("\xc3\x9c" "bung \xf0\x9f\x93\x90.vlm"),
                                        QByteArray("\xdc" "bung.vlm"), QByteArray("\xc0\xaf\xed\xa0\x80\xe2\x82"),
                                        QByteArray("a\xff\xfe\x80z"), QByteArray("\xf4\x90\x80\x80")}) {
            const QString name = FileNameFromBytes(bytes);
            QCOMPARE(FileNameBytes(name), bytes);
            QCOMPARE(QtCanNameFile(name), QString::fromUtf8(bytes).toUtf8() == bytes);
        }
        QCOMPARE(ReadableFileName(FileNameFromBytes("/stick/\xdc" "bung \x80.vlm")), QStringLiteral("/stick/Übung €.vlm"));

        // Written over an existing file of that name, read back, its permissions kept.
        QTemporaryDir dir;
        const QString path = FileNameFromBytes(QFile::encodeName(dir.path()) + "/\xdc" "bung.vlm");
        QVERIFY(WriteFileSafely(path, QByteArray("first")).Ok());
        QCOMPARE(::chmod(FileNameBytes(path).constData(), 0600), 0);
        QVERIFY(WriteFileSafely(path, QByteArray("second")).Ok());
        QByteArray read;
        QVERIFY(ReadRegularFile(path, 100, read).Ok());
        QCOMPARE(read, QByteArray("second"));
        struct stat info {};
        QCOMPARE(::stat(FileNameBytes(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList()); // Qt sees no name it can open
    }

    void savingStreamsAndFailsWithoutHarm()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("drawing.vlm");
        DrawingState drawing;
        AddLine(drawing, 7);
        AddText(drawing, "Höhe", "Arial");
        const DrawingFileSettings settings;
        QVERIFY(SaveDrawingFile(path, drawing, settings).Ok());
        const QByteArray saved = ReadAll(path);
        QCOMPARE(saved, WriteDrawingFile(drawing, settings));

        // A device that stops taking bytes anywhere is noticed.
        for (qint64 room : {qint64(0), qint64(3), qint64(100), qint64(saved.size()) - 1}) {
            FillingDevice device(room);
            QVERIFY(!WriteDrawingFile(device, drawing, settings));
        }
        FillingDevice roomy(saved.size());
        QVERIFY(WriteDrawingFile(roomy, drawing, settings));

        // Memory running out while the file is written: its own kind, the old file whole,
        // nothing left beside it.
        const FileOutcome failed = WriteFileSafely(path, [](QIODevice &out) {
            out.write("a start");
            throw std::bad_alloc();
            return true;
        });
        QCOMPARE(failed.Fault, FileFault::OutOfMemory);
        QCOMPARE(FaultText(failed), QStringLiteral("not enough memory"));
        QCOMPARE(ReadAll(path), saved);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"drawing.vlm"});
    }
};

QTEST_GUILESS_MAIN(TestDrawingFile)
#include "test_drawing_file.moc"
