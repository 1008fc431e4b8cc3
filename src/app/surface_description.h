// What assistive technology reads about the drawing surface: the chosen tool and its mode, the
// active sheet, and where the active instrument lies, in the user's number format; and the
// hint that lists the surface's keys.
#pragma once

#include "tools/instrument_pose.h"

#include <QLocale>
#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

namespace velmora {

struct SurfaceState {
    QString Tool;  // the tool and its mode as shown ("Lineal, Verschieben")
    int Sheet = 1; // the active sheet, from 1
    int Sheets = 1;
    Instrument Active = Instrument::Ruler; // the current tool's instrument, or the one used last
    bool ActiveShown = true;
    InstrumentPlacement Placement;
    std::optional<QPointF> KeyPointer; // mm on its sheet, while it is shown
    bool KeyPointerHeld = false;       // Space holds the left button pressed at it
};

using ShownText = std::function<QString(const QString &german)>;

// "Werkzeug: Lineal, Verschieben. Seite 1 von 2. Lineal bei x 10 mm, y 90 mm, gedreht um 0°."
QString SurfaceDescription(const SurfaceState &state, const ShownText &shown, const QLocale &locale = QLocale());

// The keys of the surface for the tool: the instrument's steps, or Enter for a text, and
// always the keyboard pointer's.
QString SurfaceKeysHint(bool instrumentTool, bool addsTexts, const ShownText &shown);

// The German name of an instrument, as its tool is called.
QString InstrumentName(Instrument which);

} // namespace velmora
