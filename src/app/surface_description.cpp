#include "surface_description.h"

#include <cmath>

namespace velmora {

namespace {

// To the tenth, the way a pupil reads the scale: "10", "10,5", "-3,2".
QString Tenths(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return locale.toString(value);
    double rounded = std::round(value * 10) / 10;
    if (rounded == 0)
        rounded = 0; // no "-0"
    return locale.toString(rounded, 'f', rounded == std::round(rounded) ? 0 : 1);
}

// An angle as the readout shows it: 0 to below 360 degrees.
double ShownAngle(double degrees)
{
    double shown = std::fmod(degrees, 360.0);
    if (shown < 0)
        shown += 360;
    return shown >= 359.95 ? 0 : shown;
}

} // namespace

QString InstrumentName(Instrument which)
{
    switch (which) {
    case Instrument::Protractor: return QStringLiteral("Winkelmesser");
    case Instrument::Compass: return QStringLiteral("Zirkel");
    case Instrument::SetSquare: return QStringLiteral("Geodreieck");
    case Instrument::Ruler: break;
    }
    return QStringLiteral("Lineal");
}

QString SurfaceDescription(const SurfaceState &state, const ShownText &shown, const QLocale &locale)
{
    QStringList parts;
    parts << shown(QStringLiteral("Werkzeug: %1")).arg(state.Tool);
    parts << shown(QStringLiteral("Seite %1 von %2")).arg(state.Sheet).arg(state.Sheets);
    const QString name = shown(InstrumentName(state.Active));
    if (!state.ActiveShown) {
        parts << shown(QStringLiteral("%1 ist ausgeblendet")).arg(name);
    } else {
        InstrumentPlacement placement = state.Placement;
        const InstrumentPose pose = PoseOf(placement, state.Active);
        const QString x = Tenths(pose.X, locale), y = Tenths(pose.Y, locale);
        const QString angle = Tenths(ShownAngle(pose.Angle), locale);
        if (state.Active == Instrument::Compass)
            parts << shown(QStringLiteral("%1 bei x %2 mm, y %3 mm, gedreht um %4°, Spanne %5 mm"))
                         .arg(name, x, y, angle, Tenths(placement.CompassSpan, locale));
        else
            parts << shown(QStringLiteral("%1 bei x %2 mm, y %3 mm, gedreht um %4°")).arg(name, x, y, angle);
    }
    if (state.KeyPointer) {
        const QString x = Tenths(state.KeyPointer->x(), locale), y = Tenths(state.KeyPointer->y(), locale);
        parts << (state.KeyPointerHeld
                      ? shown(QStringLiteral("Tastaturzeiger bei x %1 mm, y %2 mm, linke Maustaste gedrückt"))
                      : shown(QStringLiteral("Tastaturzeiger bei x %1 mm, y %2 mm")))
                     .arg(x, y);
    }
    return parts.join(QStringLiteral(". ")) + QLatin1Char('.');
}

QString SurfaceKeysHint(bool instrumentTool, bool addsTexts, const ShownText &shown)
{
    QStringList keys;
    if (instrumentTool)
        keys << shown(QStringLiteral("Pfeiltasten: Instrument um 1 mm verschieben, mit Umschalt um 0,1 mm; "
                                     "Strg+Pfeil links/rechts: um 1° drehen, mit Umschalt um 0,1°; "
                                     "Strg+Pfeil auf/ab: Zirkel öffnen und schließen"));
    else if (addsTexts)
        keys << shown(QStringLiteral("Eingabetaste: Text am Nullpunkt des zuletzt benutzten Instruments hinzufügen"));
    keys << shown(QStringLiteral("Alt+Pfeiltasten: Tastaturzeiger um 1 mm bewegen, mit Umschalt um 0,1 mm; "
                                 "Leertaste: linke Maustaste drücken, noch einmal: loslassen; "
                                 "Esc: bei gedrückter Taste abbrechen"));
    return keys.join(QStringLiteral("; "));
}

} // namespace velmora
