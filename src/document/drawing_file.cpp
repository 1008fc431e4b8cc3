#include "drawing_file.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>

namespace velmora {

// The reader fills a fresh drawing's lists straight from the file: that drawing replaces a
// whole one, so its records are no edit (no journal note, no step of the history).
struct DrawingFileRecords {
    static TDynaArray<DrawingObject> &Objects(DrawingState &drawing) { return drawing.objects_; }
    static TDynaArray<TextObject> &Texts(DrawingState &drawing) { return drawing.texts_; }
};

namespace {

// Small fields gather in a buffer of the writer's own; large blocks (the object records,
// long texts, chunks) go to the device as they lie, so the file passes through memory a
// piece at a time. Every write is checked.
class Writer {
public:
    explicit Writer(QIODevice &out) : out_(out), buffer_(new char[BufferBytes]) {}
    void Bytes(const void *data, int64_t size)
    {
        if (size <= 0)
            return;
        if (used_ + size > BufferBytes)
            Flush();
        if (size >= BufferBytes) {
            Put(static_cast<const char *>(data), size);
            return;
        }
        std::memcpy(buffer_.get() + used_, data, size_t(size));
        used_ += size;
    }
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
    void Byte(bool v)
    {
        const char b = v ? 1 : 0;
        Bytes(&b, 1);
    }
    void Refuse() { ok_ = false; }
    bool Finish()
    {
        Flush();
        return ok_;
    }

private:
    static constexpr int64_t BufferBytes = 64 * 1024;
    void Flush()
    {
        Put(buffer_.get(), used_);
        used_ = 0;
    }
    void Put(const char *data, int64_t size)
    {
        if (ok_ && size > 0 && out_.write(data, size) != size)
            ok_ = false;
    }

    QIODevice &out_;
    std::unique_ptr<char[]> buffer_;
    int64_t used_ = 0;
    bool ok_ = true;
};

// The chunks a drawing writes: the settings' own, then the worksheet's.
std::vector<const DrawingFileChunk *> ChunksOf(const DrawingFileSettings &s, const DrawingFileChunk &worksheet)
{
    std::vector<const DrawingFileChunk *> chunks;
    for (const DrawingFileChunk &chunk : s.Chunks)
        if (!chunk.Data.isEmpty() && !(chunk.Tag == WorksheetChunk))
            chunks.push_back(&chunk);
    if (!worksheet.Data.isEmpty())
        chunks.push_back(&worksheet);
    return chunks;
}

void WriteSettings(Writer &w, const DrawingFileSettings &s, const DrawingState &drawing)
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
    const DrawingFileChunk worksheet{WorksheetChunk,
                                     drawing.Background ? WorksheetChunkData(*drawing.Background) : QByteArray()};
    const std::vector<const DrawingFileChunk *> chunks = ChunksOf(s, worksheet);
    // Chunks follow the paper field, which follows the tail: a drawing with chunks has both.
    if (!s.HasTail && chunks.empty())
        return;
    for (double v : {s.EraserSize, s.PageWidthInch, s.PageHeightInch, s.PageCount})
        w.Double(v);
    // Plain paper writes nothing, so a plain drawing is the file it always was.
    if (s.Paper != PaperKind::Plain || !chunks.empty())
        w.Int32(int32_t(s.Paper));
    for (const DrawingFileChunk *chunk : chunks) {
        if (!ValidChunkTag(chunk->Tag) || chunk->Data.size() > std::numeric_limits<int32_t>::max()) {
            w.Refuse(); // a file no reader would take back
            return;
        }
        w.Bytes(chunk->Tag.Letters, 4);
        w.Int32(int32_t(chunk->Data.size()));
        w.Bytes(chunk->Data.constData(), chunk->Data.size());
    }
}

bool Finite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool Finite(const DrawingObject &o)
{
    return Finite({o.PenWidth, o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4});
}

// The first of count records holding a NaN or an infinity, or count. A value's exponent bits
// plus one at their lowest place reach the sign bit only when they are all ones (not a number):
// three operations a value and no branch, so a million records cost little next to reading them.
int64_t FirstNotFinite(const DrawingObject *records, int64_t count)
{
    static_assert(offsetof(DrawingObject, PenWidth) == 8 && offsetof(DrawingObject, Y4) == 72);
    constexpr uint64_t Exponent = 0x7FF0000000000000u, ExponentOne = 0x0010000000000000u;
    uint64_t seen = 0;
    const char *bytes = reinterpret_cast<const char *>(records);
    for (int64_t i = 0; i < count; ++i) {
        const char *values = bytes + i * DrawingObjectSize + 8;
        for (int k = 0; k < 9; ++k) {
            uint64_t bits;
            std::memcpy(&bits, values + 8 * k, 8);
            seen |= (bits & Exponent) + ExponentOne;
        }
    }
    if (!(seen >> 63))
        return count;
    for (int64_t i = 0; i < count; ++i)
        if (!Finite(records[i]))
            return i;
    return count;
}

// Where the reader takes its bytes from: a whole file in memory, or a file read as it goes.
class Source {
public:
    virtual ~Source() = default;
    int64_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return Remaining() <= 0; }
    // Reads size bytes into to; false when fewer are left or reading failed.
    virtual bool Bytes(void *to, int64_t size) = 0;
    virtual bool Skip(int64_t size) = 0;
    // True after a read of the device failed (not merely ended).
    virtual bool Failed() const { return false; }
    // What a read that came up short means.
    DrawingFileError Cut() const { return Failed() ? DrawingFileError::ReadFailed : DrawingFileError::Truncated; }

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

protected:
    int64_t size_ = 0;
    int64_t pos_ = 0;
};

class MemorySource : public Source {
public:
    explicit MemorySource(const QByteArray &data) : data_(data) { size_ = data.size(); }
    bool Bytes(void *to, int64_t size) override
    {
        if (size < 0 || size > Remaining())
            return false;
        std::memcpy(to, data_.constData() + pos_, size_t(size));
        pos_ += size;
        return true;
    }
    bool Skip(int64_t size) override
    {
        if (size < 0 || size > Remaining())
            return false;
        pos_ += size;
        return true;
    }

private:
    const QByteArray &data_;
};

// The file as it was when opened: small fields through a buffer, large blocks read straight
// to where they belong (the object records into their list), so opening copies nothing twice.
class FileSource : public Source {
public:
    explicit FileSource(ReadableFile &file) : file_(file), buffer_(new char[BufferBytes]) { size_ = file.Size(); }
    bool Failed() const override { return !file_.Ok(); }
    bool Bytes(void *to, int64_t size) override
    {
        if (size < 0 || size > Remaining())
            return false;
        char *out = static_cast<char *>(to);
        const int64_t buffered = std::min(size, filled_ - at_);
        std::memcpy(out, buffer_.get() + at_, size_t(buffered));
        at_ += buffered;
        int64_t left = size - buffered;
        if (left >= BufferBytes) {
            if (file_.Read(out + buffered, left) != left)
                return false;
        } else if (left > 0) {
            const int64_t wanted = std::min<int64_t>(BufferBytes, Remaining() - buffered);
            const qint64 got = file_.Read(buffer_.get(), wanted);
            if (got < left)
                return false; // a read error, or the file shrank since it was opened
            std::memcpy(out + buffered, buffer_.get(), size_t(left));
            filled_ = got;
            at_ = left;
        }
        pos_ += size;
        return true;
    }
    bool Skip(int64_t size) override
    {
        if (size < 0 || size > Remaining())
            return false;
        const int64_t buffered = std::min(size, filled_ - at_);
        at_ += buffered;
        if (size > buffered) {
            if (!file_.Skip(size - buffered))
                return false;
            at_ = filled_ = 0;
        }
        pos_ += size;
        return true;
    }

private:
    static constexpr int64_t BufferBytes = 64 * 1024;
    ReadableFile &file_;
    std::unique_ptr<char[]> buffer_;
    int64_t filled_ = 0; // bytes in the buffer
    int64_t at_ = 0;     // the next of them to hand out
};

// Records are read and checked a piece at a time, while the piece is still in the cache.
constexpr int64_t PieceRecords = 2048;

DrawingFileError ReadObjects(Source &in, DrawingState &drawing, bool salvage)
{
    TDynaArray<DrawingObject> &into = DrawingFileRecords::Objects(drawing);
    int32_t count = 0;
    if (!in.Int32(count))
        return in.Cut();
    if (count < 0)
        return DrawingFileError::BadCount;
    int64_t whole = count;
    DrawingFileError damage = DrawingFileError::None;
    if (int64_t(count) * DrawingObjectSize > in.Remaining()) {
        if (!salvage)
            return DrawingFileError::BadCount;
        whole = in.Remaining() / DrawingObjectSize; // the whole records before the end
        damage = DrawingFileError::BadCount;
    }
    const int base = into.Count;
    if (whole > into.MaxCount() - base) {
        if (!salvage)
            return DrawingFileError::TooLarge;
        whole = into.MaxCount() - base;
        damage = DrawingFileError::TooLarge;
    }
    if (whole == 0)
        return damage;
    // The count is checked against the bytes left: all records in one block, read into it.
    DrawingObject *first = into.AppendMany(int(whole));
    if (!first)
        return DrawingFileError::OutOfMemory;
    for (int64_t done = 0; done < whole;) {
        const int64_t piece = std::min(PieceRecords, whole - done);
        if (!in.Bytes(first + done, piece * DrawingObjectSize)) {
            into.Truncate(base + int(done));
            return in.Cut();
        }
        const int64_t sound = FirstNotFinite(first + done, piece);
        if (sound < piece) {
            into.Truncate(base + int(done + sound));
            return DrawingFileError::NotFinite;
        }
        done += piece;
    }
    return damage;
}

// One text into slot, written there only when all of it was read and is sound.
DrawingFileError ReadText(Source &in, TextObject &slot, QByteArray &units, QByteArray &font)
{
    char record[TextRecordSize];
    int32_t length = 0;
    if (!in.Bytes(record, TextRecordSize) || !in.Int32(length))
        return in.Cut();
    if (length < 0 || int64_t(length) * 2 > in.Remaining())
        return DrawingFileError::BadLength;
    units.resize(qsizetype(length) * 2);
    if (!in.Bytes(units.data(), units.size()))
        return in.Cut();
    int32_t fontLength = 0;
    if (!in.Int32(fontLength))
        return in.Cut();
    if (fontLength < 0 || fontLength > in.Remaining())
        return DrawingFileError::BadLength;
    font.resize(fontLength);
    if (!in.Bytes(font.data(), fontLength))
        return in.Cut();

    TextObject text;
    TextFromRecord(record, text);
    text.Text = nullptr;
    text.FontName = nullptr;
    if (!Finite({text.Left, text.Top, text.Right, text.Bottom}))
        return DrawingFileError::NotFinite;
    // The units are little-endian, as the program's own memory (records.h).
    if (!SetTextString(text, reinterpret_cast<const char16_t *>(units.constData()), length) ||
        !SetFontName(text, font.constData(), fontLength)) {
        ReleaseTextStrings(text);
        return DrawingFileError::OutOfMemory;
    }
    slot = text;
    return DrawingFileError::None;
}

// Each text takes at least its record and its two lengths.
constexpr int64_t LeastTextBytes = TextRecordSize + 8;

DrawingFileError ReadTexts(Source &in, DrawingState &drawing, bool salvage)
{
    TDynaArray<TextObject> &into = DrawingFileRecords::Texts(drawing);
    int32_t count = 0;
    if (!in.Int32(count))
        return in.Cut();
    if (count < 0 || (int64_t(count) * LeastTextBytes > in.Remaining() && !salvage))
        return DrawingFileError::BadCount;
    // The list takes every text the file can hold at once (their records start empty); a salvage
    // of a file cut short trims it to the texts read whole.
    const int base = into.Count;
    const int64_t room = std::min<int64_t>(count, in.Remaining() / LeastTextBytes);
    if (room > into.MaxCount() - base)
        return DrawingFileError::TooLarge;
    if (room > 0 && !into.AppendMany(int(room)))
        return DrawingFileError::OutOfMemory;
    QByteArray units, font;
    for (int i = 0; i < count; ++i) {
        if (i >= room && !into.Append()) {
            into.Truncate(base + i);
            return DrawingFileError::OutOfMemory;
        }
        const DrawingFileError error = ReadText(in, *into.Select(base + i), units, font);
        if (error != DrawingFileError::None) {
            into.Truncate(base + i); // that text holds no strings
            return error;
        }
    }
    return DrawingFileError::None;
}

DrawingFileError ReadSettings(Source &in, DrawingFileSettings &settings)
{
    InstrumentPlacement &p = settings.Placement;
    bool ok = true;
    for (double *v : {&p.RulerX, &p.RulerY, &p.RulerAngle, &p.ProtractorX, &p.ProtractorY, &p.ProtractorAngle,
                      &p.CompassX, &p.CompassY, &p.CompassSpan, &settings.Zoom, &settings.PenWidth})
        ok = ok && in.Double(*v);
    int32_t colour = 0;
    ok = ok && in.Int32(colour) && in.Byte(settings.EntryBarShown) && in.Byte(settings.RulerShown) &&
         in.Byte(settings.ProtractorShown) && in.Byte(settings.CompassShown);
    if (!ok)
        return in.Cut();
    settings.PenColour = uint32_t(colour);
    settings.HasTail = !in.AtEnd();
    if (settings.HasTail) {
        for (double *v : {&settings.EraserSize, &settings.PageWidthInch, &settings.PageHeightInch, &settings.PageCount})
            if (!in.Double(*v))
                return in.Cut();
        // The paper continues the tail; the chunks of later continuations follow it.
        settings.Paper = PaperKind::Plain;
        if (!in.AtEnd()) {
            int32_t number = 0;
            if (!in.Int32(number))
                return in.Cut();
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
    if (settings.HasTail &&
        (!SheetSideWithinLimits(settings.PageWidthInch) || !SheetSideWithinLimits(settings.PageHeightInch)))
        return DrawingFileError::BadSheetSize;
    return DrawingFileError::None;
}

// The chunks after the paper: the worksheet into the drawing, the wanted others into the
// settings.
DrawingFileError ReadChunks(Source &in, DrawingState &into, DrawingFileSettings &settings)
{
    while (!in.AtEnd()) {
        ChunkTag tag{};
        int32_t length = 0;
        if (!in.Bytes(tag.Letters, 4) || !in.Int32(length))
            return in.Failed() ? DrawingFileError::ReadFailed : DrawingFileError::ChunkTruncated;
        if (!ValidChunkTag(tag))
            return DrawingFileError::BadChunkTag;
        if (length < 0 || length > in.Remaining())
            return DrawingFileError::ChunkTruncated;
        const auto &wanted = settings.WantedChunks;
        const bool worksheet = tag == WorksheetChunk;
        if (!worksheet && !settings.KeepEveryChunk && std::find(wanted.begin(), wanted.end(), tag) == wanted.end()) {
            if (!in.Skip(length))
                return in.Cut();
            continue;
        }
        QByteArray data(length, Qt::Uninitialized);
        if (!in.Bytes(data.data(), length))
            return in.Cut();
        if (worksheet) {
            std::optional<Worksheet> read = ReadWorksheetChunk(data);
            if (!read)
                return DrawingFileError::BadWorksheet;
            into.Background = std::make_shared<const Worksheet>(std::move(*read));
            continue;
        }
        settings.Chunks.push_back({tag, data});
    }
    return DrawingFileError::None;
}

// The whole file in order. A salvage keeps what was read whole before the damage, where a
// plain reading may stop anywhere (its drawing is thrown away on an error).
SalvagedDrawing Parse(Source &in, DrawingState &into, DrawingFileSettings &settings, bool salvage)
{
    try {
        DrawingFileError error = ReadObjects(in, into, salvage);
        if (error == DrawingFileError::None)
            error = ReadTexts(in, into, salvage);
        if (error != DrawingFileError::None)
            return {error, false};
        DrawingFileSettings read = settings;
        read.Chunks.clear(); // a file without chunks holds none, whatever the caller had
        error = ReadSettings(in, read);
        if (error != DrawingFileError::None)
            return {error, false};
        settings = read;
        return {ReadChunks(in, into, settings), true};
    } catch (const std::bad_alloc &) {
        return {DrawingFileError::OutOfMemory, false};
    }
}

} // namespace

bool WriteDrawingFile(QIODevice &out, const DrawingState &drawing, const DrawingFileSettings &settings)
{
    Writer w(out);
    w.Int32(drawing.Objects.Count);
    if (drawing.Objects.Count > 0) // the records lie in one block, in file order
        w.Bytes(&drawing.Objects.At(0), int64_t(drawing.Objects.Count) * DrawingObjectSize);
    w.Int32(drawing.Texts.Count);
    for (int i = 0; i < drawing.Texts.Count; ++i) {
        const TextObject &text = drawing.Texts.At(i);
        char record[TextRecordSize];
        TextToRecord(text, record);
        w.Bytes(record, TextRecordSize);
        // The units stay little-endian, as in memory (records.h).
        const int length = TextLength(text);
        w.Int32(length);
        w.Bytes(text.Text, int64_t(length) * 2);
        const int fontLength = FontNameLength(text);
        w.Int32(fontLength);
        w.Bytes(text.FontName, fontLength);
    }
    WriteSettings(w, settings, drawing);
    return w.Finish();
}

QByteArray WriteDrawingFile(const DrawingState &drawing, const DrawingFileSettings &settings)
{
    QByteArray data;
    data.reserve(qsizetype(int64_t(drawing.Objects.Count) * DrawingObjectSize +
                           int64_t(drawing.Texts.Count) * (TextRecordSize + 40) + SettingsBytesOld + SettingsBytesTail +
                           SettingsBytesPaper + 8));
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    WriteDrawingFile(buffer, drawing, settings);
    return data;
}

FileOutcome SaveDrawingFile(const QString &path, const DrawingState &drawing, const DrawingFileSettings &settings)
{
    return WriteFileSafely(path, [&](QIODevice &out) { return WriteDrawingFile(out, drawing, settings); });
}

DrawingFileError ReadDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings)
{
    MemorySource in(data);
    return Parse(in, into, settings, false).Damage;
}

DrawingFileError LoadDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                 FileOutcome *opened)
{
    ReadableFile file(path);
    if (opened)
        *opened = file.Outcome();
    if (!file.Ok())
        return DrawingFileError::CannotOpen;
    FileSource in(file);
    const DrawingFileError error = Parse(in, into, settings, false).Damage;
    if (opened)
        *opened = file.Outcome();
    return error;
}

SalvagedDrawing SalvageDrawingFile(const QByteArray &data, DrawingState &into, DrawingFileSettings &settings)
{
    MemorySource in(data);
    return Parse(in, into, settings, true);
}

SalvagedDrawing SalvageDrawingFile(const QString &path, DrawingState &into, DrawingFileSettings &settings,
                                   FileOutcome *opened)
{
    ReadableFile file(path);
    if (opened)
        *opened = file.Outcome();
    if (!file.Ok())
        return {DrawingFileError::CannotOpen, false};
    FileSource in(file);
    const SalvagedDrawing salvaged = Parse(in, into, settings, true);
    if (opened)
        *opened = file.Outcome();
    return salvaged;
}

QString DrawingFileErrorText(DrawingFileError error)
{
    switch (error) {
    case DrawingFileError::None: break;
    case DrawingFileError::Truncated: return QStringLiteral("die Datei endet zu früh");
    case DrawingFileError::BadCount:
        return QStringLiteral("eine Anzahl von Objekten oder Texten passt nicht zur Datei");
    case DrawingFileError::BadLength: return QStringLiteral("ein Text ist länger als die Datei");
    case DrawingFileError::NotFinite: return QStringLiteral("ein Wert in der Datei ist keine Zahl");
    case DrawingFileError::BadSheetSize:
        return QStringLiteral("die Blattgröße liegt nicht zwischen 0,1 und 5080 mm");
    case DrawingFileError::BadPaper: return QStringLiteral("das Papier ist von keiner bekannten Art");
    case DrawingFileError::OutOfMemory: return OutOfMemoryText();
    case DrawingFileError::CannotOpen: return QStringLiteral("die Datei kann nicht geöffnet werden");
    case DrawingFileError::TooLarge:
        return QStringLiteral("die Zeichnung hat mehr Objekte oder Texte, als das Programm fassen kann");
    case DrawingFileError::ReadFailed: return QStringLiteral("die Datei konnte nicht vollständig gelesen werden");
    case DrawingFileError::BadChunkTag: return QStringLiteral("ein angehängter Abschnitt hat keinen gültigen Namen");
    case DrawingFileError::ChunkTruncated: return QStringLiteral("ein angehängter Abschnitt ist abgeschnitten");
    case DrawingFileError::BadWorksheet: return QStringLiteral("das Arbeitsblatt in der Datei ist beschädigt");
    }
    return {};
}

int SheetCountOf(const DrawingFileSettings &settings)
{
    return std::clamp(Round(settings.PageCount), 1, 10);
}

} // namespace velmora
