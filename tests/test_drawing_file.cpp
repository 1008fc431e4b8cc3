// The drawing file: sizes of both generations, byte-identical round trips of the sample
// files, and every kind of damage refused without reading past the end.
#include "support/drawing_builder.h"
#include "document/drawing_file.h"

#include <QtTest>

using namespace velmora;

namespace {

QByteArray Sample(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

void AddText(DrawingState &drawing, const QString &content, const char *font)
{
    DrawingBuilder(drawing).Text(1, 2, content, 12, font);
}

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
        const QByteArray original = Sample(name);
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(original, drawing, settings), DrawingFileError::None);
        QCOMPARE(WriteDrawingFile(drawing, settings), original);
    }

    void fullSampleContents()
    {
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(Sample("full.vlm"), drawing, settings), DrawingFileError::None);
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
        QCOMPARE(ReadDrawingFile(Sample("old_generation.vlm"), drawing, settings), DrawingFileError::None);
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
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(DrawingFileError, error);
        DrawingState drawing;
        DrawingFileSettings settings;
        QCOMPARE(ReadDrawingFile(Sample(name), drawing, settings), error);
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
        // A file beyond the limit is refused before a byte of it is read (a sparse file here).
        QTemporaryDir dir;
        QFile huge(dir.filePath("huge.vlm"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(MaxDrawingFileBytes + 1));
        huge.close();
        DrawingState tooLarge;
        QCOMPARE(LoadDrawingFile(huge.fileName(), tooLarge, settings), DrawingFileError::TooLarge);
        QCOMPARE(tooLarge.Objects.Count, 0);
    }

    void everyCutOfAGoodFileIsRefused()
    {
        // A file cut anywhere but after the four visibility bytes is damaged.
        const QByteArray full = Sample("full.vlm");
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
};

QTEST_GUILESS_MAIN(TestDrawingFile)
#include "test_drawing_file.moc"
