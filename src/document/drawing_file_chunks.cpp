#include "drawing_file_chunks.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace velmora {

bool ValidChunkTag(const ChunkTag &tag)
{
    return std::all_of(std::begin(tag.Letters), std::end(tag.Letters), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

const QByteArray *FindChunk(const DrawingFileChunks &chunks, ChunkTag tag)
{
    for (const DrawingFileChunk &chunk : chunks)
        if (chunk.Tag == tag)
            return &chunk.Data;
    return nullptr;
}

void SetChunk(DrawingFileChunks &chunks, ChunkTag tag, const QByteArray &data)
{
    if (data.isEmpty()) {
        std::erase_if(chunks, [&](const DrawingFileChunk &chunk) { return chunk.Tag == tag; });
        return;
    }
    for (DrawingFileChunk &chunk : chunks) {
        if (chunk.Tag == tag) {
            chunk.Data = data;
            return;
        }
    }
    chunks.push_back({tag, data});
}

void ChunkWriter::Int32(int32_t value)
{
    char b[4];
    qToLittleEndian(value, b);
    data_.append(b, 4);
}

void ChunkWriter::Double(double value)
{
    char b[8];
    qToLittleEndian(value, b);
    data_.append(b, 8);
}

void ChunkWriter::Byte(bool value)
{
    data_.append(char(value ? 1 : 0));
}

void ChunkWriter::Bytes(const QByteArray &bytes)
{
    data_.append(bytes);
}

bool ChunkReader::Take(void *into, int64_t size)
{
    if (size < 0 || size > Remaining())
        return false;
    std::memcpy(into, data_.constData() + pos_, size_t(size));
    pos_ += size;
    return true;
}

bool ChunkReader::Int32(int32_t &value)
{
    char b[4];
    if (!Take(b, 4))
        return false;
    value = qFromLittleEndian<int32_t>(b);
    return true;
}

bool ChunkReader::Double(double &value)
{
    char b[8];
    if (!Take(b, 8))
        return false;
    value = qFromLittleEndian<double>(b);
    return true;
}

bool ChunkReader::Byte(bool &value)
{
    char b;
    if (!Take(&b, 1))
        return false;
    value = b != 0;
    return true;
}

bool ChunkReader::Bytes(QByteArray &into, int64_t size)
{
    if (size < 0 || size > Remaining())
        return false;
    into = data_.mid(qsizetype(pos_), qsizetype(size));
    pos_ += size;
    return true;
}

} // namespace velmora
