#include "drawing_file.h"

#include <QFile>
#include <QVector>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

class Writer {
public:
    void Reserve(int64_t bytes) { out_.reserve(qsizetype(bytes)); }
    void Bytes(const void *data, int64_t size) { out_.append(static_cast<const char *>(data), qsizetype(size)); }
    void Int32(int32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        Bytes(b, 4);
    }
    void UInt32(uint32_t v) { Int32(int32_t(v)); }
    void Double(double v)
    {
        char b[8];
        qToLittleEndian(v, b);
        Bytes(b, 8);
    }
    void Byte(bool v) { out_.append(char(v ? 1 : 0)); }
    QByteArray Result() const { return out_; }

private:
    QByteArray out_;
};

class Reader {
public:
    explicit Reader(const QByteArray &data) : data_(data) {}
    int64_t Remaining() const { return int64_t(data_.size()) - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    bool Bytes(void *to, int64_t size)
    {
        if (size < 0 || size > Remaining())
            return false;
        std::memcpy(to, data_.constData() + pos_, size_t(size));
        pos_ += size;
        return true;
    }
    bool Int32(int32_t &v)
    {
        char b[4];
        if (!Bytes(b, 4))
            return false;
        v = qFromLittleEndian<int32_t>(b);
        return true;
    }
    bool Double(double &v)
    {
        char b[8];
        if (!Bytes(b, 8))
            return false;
        v = qFromLittleEndian<double>(b);
        return true;
    }
    bool Byte(bool &v)
    {
        char b;
        if (!Bytes(&b, 1))
            return false;
        v = b != 0;
        return true;
    }

private:
    const QByteArray &data_;
    int64_t pos_ = 0;
};

void WriteSettings(Writer &w, const DrawingFileSettings &s)
{
    const InstrumentPlacement &p = s.Placement;
    for (double v : {p.RulerX, p.RulerY, p.RulerAngle, p.ProtractorX, p.ProtractorY, p.ProtractorAngle, p.CompassX,
                     p.CompassY, p.CompassSpan, s.Zoom, s.PenWidth})
        w.Double(v);
    w.UInt32(s.PenColour);
    w.Byte(s.EntryBarShown);
    w.Byte(s.RulerShown);
    w.Byte(s.ProtractorShown);
    w.Byte(s.CompassShown);
    if (!s.HasTail)
        return;
    for (double v : {s.EraserSize, s.PageWidthInch, s.PageHeightInch, s.PageCount})
        w.Double(v);
    // Plain paper writes nothing, so a plain drawing is the file it always was.
    if (s.Paper != PaperKind::Plain)
        w.Int32(int32_t(s.Paper));
}

bool Finite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

QByteArray WriteDrawingFile(const DrawingState &drawing, const DrawingFileSettings &settings)
{
    Writer w;
    w.Reserve(int64_t(drawing.Objects.Count) * DrawingObjectSize + int64_t(drawing.Texts.Count) * (TextRecordSize + 40) +
              SettingsBytesOld + SettingsBytesTail + SettingsBytesPaper + 8);
    w.Int32(drawing.Objects.Count);
    if (drawing.Objects.Count > 0) // the records lie in one block, in file order
        w.Bytes(&drawing.Objects.At(0), int64_t(drawing.Objects.Count) * DrawingObjectSize);
    w.Int32(drawing.Texts.Count);
    for (int i = 0; i < drawing.Texts.Count; ++i) {
        const TextObject &text = drawing.Texts.At(i);
        char record[TextRecordSize];
        TextToRecord(text, record);
        w.Bytes(record, TextRecordSize);
        const int length = TextLength(text);
        w.Int32(length);
        QByteArray units(length * 2, Qt::Uninitialized);
        for (int k = 0; k < length; ++k)
            qToLittleEndian<uint16_t>(text.Text[k], units.data() + 2 * k);
        w.Bytes(units.constData(), int(units.size()));
        const int fontLength = FontNameLength(text);
        w.Int32(fontLength);
        w.Bytes(text.FontName, fontLength);
    }
    WriteSettings(w, settings);
    return w.Result();
}

DrawingFileError ReadDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings)
{
    Reader r(data);
    int32_t count = 0;
    if (!r.Int32(count))
        return DrawingFileError::Truncated;
    if (count < 0 || int64_t(count) * DrawingObjectSize > r.Remaining())
        return DrawingFileError::BadCount;
    if (count > 0) {
        // The count is checked against the bytes left: all records in one block, one copy.
        DrawingObject *first = into.objects_.AppendMany(count);
        if (!first)
            return DrawingFileError::OutOfMemory;
        r.Bytes(first, int64_t(count) * DrawingObjectSize);
        for (int i = 0; i < count; ++i) {
            const DrawingObject &o = first[i];
            if (!Finite({o.PenWidth, o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4}))
                return DrawingFileError::NotFinite;
        }
    }

    if (!r.Int32(count))
        return DrawingFileError::Truncated;
    // Each text takes at least its record and its two lengths.
    if (count < 0 || int64_t(count) * (TextRecordSize + 8) > r.Remaining())
        return DrawingFileError::BadCount;
    for (int i = 0; i < count; ++i) {
        char record[TextRecordSize];
        int32_t length = 0;
        if (!r.Bytes(record, TextRecordSize) || !r.Int32(length))
            return DrawingFileError::Truncated;
        if (length < 0 || int64_t(length) * 2 > r.Remaining())
            return DrawingFileError::BadLength;
        QByteArray raw(length * 2, Qt::Uninitialized);
        r.Bytes(raw.data(), raw.size());
        QVector<char16_t> units(length);
        for (int k = 0; k < length; ++k)
            units[k] = qFromLittleEndian<uint16_t>(raw.constData() + 2 * k);
        int32_t fontLength = 0;
        if (!r.Int32(fontLength))
            return DrawingFileError::Truncated;
        if (fontLength < 0 || fontLength > r.Remaining())
            return DrawingFileError::BadLength;
        QByteArray font(fontLength, Qt::Uninitialized);
        r.Bytes(font.data(), fontLength);

        TextObject *text = into.texts_.Append();
        if (!text)
            return DrawingFileError::OutOfMemory;
        TextFromRecord(record, *text);
        text->Text = nullptr;
        text->FontName = nullptr;
        if (!SetTextString(*text, units.constData(), length) || !SetFontName(*text, font.constData(), fontLength))
            return DrawingFileError::OutOfMemory;
        if (!Finite({text->Left, text->Top, text->Right, text->Bottom}))
            return DrawingFileError::NotFinite;
    }

    InstrumentPlacement &p = settings.Placement;
    bool ok = true;
    for (double *v : {&p.RulerX, &p.RulerY, &p.RulerAngle, &p.ProtractorX, &p.ProtractorY, &p.ProtractorAngle,
                      &p.CompassX, &p.CompassY, &p.CompassSpan, &settings.Zoom, &settings.PenWidth})
        ok = ok && r.Double(*v);
    int32_t colour = 0;
    ok = ok && r.Int32(colour) && r.Byte(settings.EntryBarShown) && r.Byte(settings.RulerShown) &&
         r.Byte(settings.ProtractorShown) && r.Byte(settings.CompassShown);
    if (!ok)
        return DrawingFileError::Truncated;
    settings.PenColour = uint32_t(colour);
    settings.HasTail = !r.AtEnd();
    if (settings.HasTail) {
        for (double *v : {&settings.EraserSize, &settings.PageWidthInch, &settings.PageHeightInch, &settings.PageCount})
            if (!r.Double(*v))
                return DrawingFileError::Truncated;
        // The paper continues the tail; what may follow it is left for later continuations.
        settings.Paper = PaperKind::Plain;
        if (!r.AtEnd()) {
            int32_t number = 0;
            if (!r.Int32(number))
                return DrawingFileError::Truncated;
            const std::optional<PaperKind> paper = PaperFromNumber(number);
            if (!paper)
                return DrawingFileError::BadPaper;
            settings.Paper = *paper;
        }
    }
    if (!Finite({p.RulerX, p.RulerY, p.RulerAngle, p.ProtractorX, p.ProtractorY, p.ProtractorAngle, p.CompassX,
                 p.CompassY, p.CompassSpan, settings.Zoom, settings.PenWidth, settings.EraserSize,
                 settings.PageWidthInch, settings.PageHeightInch, settings.PageCount}))
        return DrawingFileError::NotFinite;
    if (settings.HasTail && (settings.PageWidthInch <= 0 || settings.PageHeightInch <= 0))
        return DrawingFileError::BadSheetSize;
    return DrawingFileError::None;
}

DrawingFileError LoadDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                 FileOutcome *opened)
{
    QByteArray data;
    const FileOutcome read = ReadRegularFile(path, MaxDrawingFileBytes, data);
    if (opened)
        *opened = read;
    if (read.Fault == FileFault::TooLarge)
        return DrawingFileError::TooLarge;
    if (!read.Ok())
        return DrawingFileError::CannotOpen;
    return ReadDrawingFile(data, into, settings);
}

int SheetCountOf(const DrawingFileSettings &settings)
{
    return std::clamp(Round(settings.PageCount), 1, 10);
}

} // namespace velmora
