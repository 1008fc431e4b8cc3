// Record layouts as stored in drawing files, text strings, the code page and clearing.
#include "support/drawing_builder.h"
#include "document/cp1252.h"
#include "document/drawing_state.h"
#include "document/records.h"

#include <QtTest>

#include <cstddef>
#include <cstring>

using namespace velmora;

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void drawingObjectLayout()
    {
        QCOMPARE(offsetof(DrawingObject, Kind), size_t(0));
        QCOMPARE(offsetof(DrawingObject, PenWidth), size_t(8));
        QCOMPARE(offsetof(DrawingObject, X1), size_t(16));
        QCOMPARE(offsetof(DrawingObject, Y4), size_t(72));
        QCOMPARE(offsetof(DrawingObject, Colour), size_t(80));
        QCOMPARE(sizeof(DrawingObject), size_t(88));

        // The padding survives a round trip through the memory image.
        unsigned char image[88];
        for (int i = 0; i < 88; ++i)
            image[i] = static_cast<unsigned char>(i * 7 + 1);
        DrawingObject o;
        std::memcpy(&o, image, 88);
        unsigned char again[88];
        std::memcpy(again, &o, 88);
        QCOMPARE(std::memcmp(image, again, 88), 0);
        QCOMPARE(o.Padding1, 0x322B241Du); // bytes 4..7: 29, 36, 43, 50, little-endian
    }

    void textRecordImage()
    {
        char image[TextRecordSize];
        for (int i = 0; i < TextRecordSize; ++i)
            image[i] = char(200 - i);
        TextObject text{};
        TextFromRecord(image, text);
        QCOMPARE(text.Text, nullptr); // the strings are not part of the image
        char again[TextRecordSize];
        TextToRecord(text, again);
        QCOMPARE(std::memcmp(image, again, TextRecordSize), 0);
        QCOMPARE(offsetof(TextObject, Size), size_t(40));
        QCOMPARE(offsetof(TextObject, Charset), size_t(48));
        QCOMPARE(offsetof(TextObject, Style), size_t(50));
    }

    void textStrings()
    {
        TextObject text{};
        QVERIFY(SetTextString(text, QStringLiteral("Höhe\r\nh₁ 😀")));
        QVERIFY(SetFontName(text, "Arial", 5));
        QCOMPARE(TextLength(text), 11); // UTF-16 code units, the emoji takes two
        QCOMPARE(TextString(text), QStringLiteral("Höhe\r\nh₁ 😀"));
        QCOMPARE(text.Text[11], u'\0');
        QCOMPARE(FontNameLength(text), 5);
        QVERIFY(SetTextString(text, QString())); // replacing releases the old block
        QCOMPARE(TextLength(text), 0);
        QVERIFY(text.Text != nullptr);
        ReleaseTextStrings(text);
        QCOMPARE(text.Text, nullptr);
        QCOMPARE(text.FontName, nullptr);
        QCOMPARE(TextString(text), QString());
    }

    void codePage()
    {
        const QByteArray bytes("Caf\xe9 \x80 \x9f \x81", 10);
        const QString text = Cp1252ToUnicode(bytes);
        QCOMPARE(text, QStringLiteral("Café € Ÿ \u0081"));
        QCOMPARE(UnicodeToCp1252(text), bytes);
        QCOMPARE(UnicodeToCp1252(QStringLiteral("Ω")), QByteArray("?"));
        TextObject font{};
        SetFontName(font, "Fran\xe7ois Sans", 13);
        QCOMPARE(FontNameString(font), QStringLiteral("François Sans"));
        ReleaseTextStrings(font);
    }

    void clearingReleasesAndResets()
    {
        DrawingState state;
        {
            DrawingBuilder drawing(state);
            for (int i = 0; i < 3; ++i) {
                drawing.Text(0, 0, QStringLiteral("T%1").arg(i));
                drawing.Blank().Kind = KindLine;
            }
        }
        EditTransaction edit(state, QStringLiteral("Text löschen"));
        QVERIFY(edit.DeleteText(1));
        QCOMPARE(state.Texts.Count, 2);
        QCOMPARE(TextString(state.Texts.At(1)), QStringLiteral("T2"));
        QVERIFY(!edit.DeleteText(2));
        const std::optional<DrawingEdit> step = edit.Finish();
        QVERIFY(step && step->Texts.size() == 1); // what failed is not part of the step
        const uint64_t revision = state.ContentRevision();
        state.ClearRecords();
        QCOMPARE(state.Texts.Count, 0);
        QCOMPARE(state.Objects.Count, 0);
        QVERIFY(state.ContentRevision() != revision);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
