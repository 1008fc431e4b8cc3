// The extensible continuations of the drawing file. After the paper field the file holds any
// number of chunks, each a tag of four letters or digits ("GEOD"), a signed 32-bit length and
// that many bytes of data. A chunk is written only when its data is not empty, so a drawing
// without any is byte for byte the file it always was; a reader skips every tag it does not
// know. A chunk cut short, a length past the end of the file, or a tag of other bytes makes
// the file damaged.
//
// A feature that keeps something in the drawing file:
//   - names its tag once: inline constexpr ChunkTag SetSquareChunk = MakeChunkTag("GEOD");
//   - adds it to the tags the reader keeps (DrawingFileSettings::WantedChunks, whose default
//     lists every tag this program knows; see drawing_file.h);
//   - writes its data with ChunkWriter and stores it with SetChunk(settings, tag, data);
//   - after reading, finds it with FindChunk(settings, tag) and reads it with ChunkReader,
//     treating data it cannot read as the damage of its own feature.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace velmora {

struct ChunkTag {
    char Letters[4];
    bool operator==(const ChunkTag &) const = default;
};

constexpr ChunkTag MakeChunkTag(const char (&name)[5])
{
    return {{name[0], name[1], name[2], name[3]}};
}

// Letters A-Z, a-z and digits only: anything else in a tag's place is damage.
bool ValidChunkTag(const ChunkTag &tag);

struct DrawingFileChunk {
    ChunkTag Tag;
    QByteArray Data;
};

using DrawingFileChunks = std::vector<DrawingFileChunk>;

// The data of the first chunk with this tag, or null.
const QByteArray *FindChunk(const DrawingFileChunks &chunks, ChunkTag tag);
// Puts data under the tag (replacing the first chunk of that tag, or appended at the end);
// empty data removes every chunk of the tag.
void SetChunk(DrawingFileChunks &chunks, ChunkTag tag, const QByteArray &data);

// Fields of a chunk's data, little-endian like the rest of the file.
class ChunkWriter {
public:
    void Int32(int32_t value);
    void Double(double value);
    void Byte(bool value);
    void Bytes(const QByteArray &bytes);
    const QByteArray &Data() const { return data_; }

private:
    QByteArray data_;
};

// Reads a chunk's fields in order; each call returns false, reading nothing, when the data
// ends before the field does.
class ChunkReader {
public:
    explicit ChunkReader(const QByteArray &data) : data_(data) {}
    bool Int32(int32_t &value);
    bool Double(double &value);
    bool Byte(bool &value);
    bool Bytes(QByteArray &into, int64_t size);
    int64_t Remaining() const { return int64_t(data_.size()) - pos_; }
    bool AtEnd() const { return Remaining() == 0; }

private:
    bool Take(void *into, int64_t size);

    const QByteArray data_;
    int64_t pos_ = 0;
};

} // namespace velmora
