// The font new texts get, as the text dialog's font button holds it.
#pragma once

#include <QString>

#include <cstdint>

namespace velmora {

struct TextFontChoice {
    QString Name = QStringLiteral("Arial");
    int32_t Size = 10;   // points
    uint32_t Colour = 0; // platform colour value
    uint8_t Charset = 0;
    uint8_t Pitch = 0;
    uint8_t Style = 0; // TextStyleBits
};

} // namespace velmora
