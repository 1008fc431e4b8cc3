// The paper a drawing's sheets are printed on: plain, squared, ruled, dotted or graph paper.
// Its number is what the drawing file stores; plain paper is never written.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace velmora {

enum class PaperKind : int32_t {
    Plain = 0,
    Squared5 = 1,
    Squared10 = 2,
    Lined8 = 3,
    Dotted5 = 4,
    Millimetre = 5,
};

inline constexpr PaperKind PaperKinds[] = {PaperKind::Plain,  PaperKind::Squared5, PaperKind::Squared10,
                                           PaperKind::Lined8, PaperKind::Dotted5,  PaperKind::Millimetre};

// The paper a stored number stands for; none for a number no paper has.
std::optional<PaperKind> PaperFromNumber(int32_t number);

// The paper's name as the page setup lists it ("Kariert 5 mm", ...), before translation.
QString PaperName(PaperKind kind);

} // namespace velmora
