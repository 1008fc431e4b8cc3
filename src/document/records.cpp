#include "records.h"

#include "cp1252.h"

#include <cstdlib>
#include <cstring>

namespace velmora {

void TextToRecord(const TextObject &text, char out[TextRecordSize])
{
    std::memcpy(out, &text, TextRecordSize);
}

void TextFromRecord(const char in[TextRecordSize], TextObject &text)
{
    std::memcpy(&text, in, TextRecordSize);
}

bool SetTextString(TextObject &text, const char16_t *chars, int length)
{
    if (length < 0)
        length = 0;
    auto *block = static_cast<char16_t *>(std::calloc(size_t(length) + 1, sizeof(char16_t)));
    if (!block)
        return false;
    if (length > 0)
        std::memcpy(block, chars, size_t(length) * sizeof(char16_t));
    std::free(text.Text);
    text.Text = block;
    return true;
}

bool SetTextString(TextObject &text, const QString &value)
{
    return SetTextString(text, reinterpret_cast<const char16_t *>(value.utf16()), int(value.size()));
}

bool SetFontName(TextObject &text, const char *bytes, int length)
{
    if (length < 0)
        length = 0;
    auto *block = static_cast<char *>(std::calloc(size_t(length) + 1, 1));
    if (!block)
        return false;
    if (length > 0)
        std::memcpy(block, bytes, size_t(length));
    std::free(text.FontName);
    text.FontName = block;
    return true;
}

void ReleaseTextStrings(TextObject &text)
{
    std::free(text.FontName);
    text.FontName = nullptr;
    std::free(text.Text);
    text.Text = nullptr;
}

int TextLength(const TextObject &text)
{
    if (!text.Text)
        return 0;
    int n = 0;
    while (text.Text[n] != 0)
        ++n;
    return n;
}

int FontNameLength(const TextObject &text)
{
    return text.FontName ? int(std::strlen(text.FontName)) : 0;
}

QString TextString(const TextObject &text)
{
    return QString::fromUtf16(text.Text, TextLength(text));
}

QString FontNameString(const TextObject &text)
{
    return Cp1252ToUnicode(QByteArray(text.FontName, FontNameLength(text)));
}

} // namespace velmora
