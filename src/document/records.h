// The two kinds of record a drawing consists of. DrawingObject is the exact 88-byte
// storage image; TextObject keeps the 56-byte storage image plus the two strings it owns.
#pragma once

#include <QByteArray>
#include <QString>

#include <bit>
#include <cstdint>
#include <type_traits>

namespace velmora {

static_assert(std::endian::native == std::endian::little,
              "records are stored as little-endian memory images");

enum ObjectKind : uint32_t {
    KindLine = 0,
    KindArc = 1,
    KindEllipse = 2,
    KindBezier = 3,
};

// Colours are platform colour values: red in the low byte, then green, then blue.
inline constexpr uint32_t ColourRGB(uint8_t r, uint8_t g, uint8_t b)
{
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
inline constexpr uint32_t ColourBlack = 0;
inline constexpr uint32_t ColourWhite = ColourRGB(255, 255, 255);
inline constexpr uint32_t ColourRed = ColourRGB(255, 0, 0);
inline constexpr uint32_t ColourGrey = ColourRGB(128, 128, 128);

struct DrawingObject {
    uint32_t Kind;
    uint32_t Padding1; // kept as found, so a file read and written again is identical
    double PenWidth;   // mm
    double X1, Y1, X2, Y2, X3, Y3, X4, Y4; // global mm, meaning by kind
    uint32_t Colour;
    uint32_t Padding2;
};
static_assert(sizeof(DrawingObject) == 88);
static_assert(std::is_trivially_copyable_v<DrawingObject>);

inline constexpr int DrawingObjectSize = 88;
inline constexpr int TextRecordSize = 56;

// Texts are shown at most this many points large, the largest size the font dialog offers:
// a larger size (from a damaged file or another program) stays stored as it is.
inline constexpr int32_t MaxTextPoints = 512;

enum TextStyleBits : uint8_t {
    StyleBold = 1,
    StyleItalic = 2,
    StyleUnderline = 4,
    StyleStrikeOut = 8,
};

// A text object. The fields up to Padding are the 56-byte storage image; TextField
// and FontField hold what stood at the image's pointer offsets (they carry no meaning
// and are only kept so a re-saved file is byte-identical). Text and FontName are the
// owned, zero-terminated blocks; release them with ReleaseTextStrings.
struct TextObject {
    double Left, Top, Right, Bottom; // global mm; right and bottom follow each paint
    uint32_t TextField;
    uint32_t FontField;
    int32_t Size;   // points at zoom 100
    int32_t Colour; // platform colour value
    uint8_t Charset;
    uint8_t Pitch; // 0 default, 1 variable, 2 fixed
    uint8_t Style; // TextStyleBits
    uint8_t Padding[5];
    char16_t *Text;  // UTF-16, zero-terminated, 2 * length + 2 bytes
    char *FontName;  // Windows-1252, zero-terminated, length + 1 bytes
};
static_assert(offsetof(TextObject, Padding) + 5 == TextRecordSize);
static_assert(std::is_trivially_copyable_v<TextObject>);

// The 56-byte storage image of a text and back (the strings are not touched).
void TextToRecord(const TextObject &text, char out[TextRecordSize]);
void TextFromRecord(const char in[TextRecordSize], TextObject &text);

// Replace a text's owned strings; the old blocks are released. Returns false, leaving
// the old string in place, when the block cannot be allocated.
bool SetTextString(TextObject &text, const char16_t *chars, int length);
bool SetTextString(TextObject &text, const QString &value);
bool SetFontName(TextObject &text, const char *bytes, int length);

// Release the font name, then the text, and leave both pointers empty.
void ReleaseTextStrings(TextObject &text);

int TextLength(const TextObject &text);     // UTF-16 code units up to the terminator
int FontNameLength(const TextObject &text); // bytes up to the terminator
QString TextString(const TextObject &text);
QString FontNameString(const TextObject &text); // decoded from Windows-1252

} // namespace velmora
