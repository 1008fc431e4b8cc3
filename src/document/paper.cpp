#include "paper.h"

namespace velmora {

std::optional<PaperKind> PaperFromNumber(int32_t number)
{
    for (PaperKind kind : PaperKinds)
        if (int32_t(kind) == number)
            return kind;
    return std::nullopt;
}

QString PaperName(PaperKind kind)
{
    switch (kind) {
    case PaperKind::Squared5: return QStringLiteral("Kariert 5 mm");
    case PaperKind::Squared10: return QStringLiteral("Kariert 10 mm");
    case PaperKind::Lined8: return QStringLiteral("Liniert 8 mm");
    case PaperKind::Dotted5: return QStringLiteral("Punktraster 5 mm");
    case PaperKind::Millimetre: return QStringLiteral("Millimeterpapier");
    case PaperKind::Plain: break;
    }
    return QStringLiteral("Blanko");
}

} // namespace velmora
