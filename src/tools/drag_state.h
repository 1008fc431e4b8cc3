// The pointer state shared by the press, move and release handlers: which drag is under
// way, the hover result, and the positions the tools keep between events. Pixel positions
// are surface pixels less the 5-pixel margin; "mm" fields are millimetres.
#pragma once

#include <cstdint>

namespace velmora {

struct DragState {
    // Curves: the click stages.
    bool CurveHasStart = false, CurveHasEnd = false, CurveHasControl1 = false;
    // Pencil and eraser button held.
    bool StrokeActive = false;
    bool TextDragging = false;
    bool ObjectDragging = false;
    // Hover search: something under the pointer is highlighted.
    bool HoverFound = false, HoverActive = false;
    int32_t HoverIndex = 0;
    // Which list HoverIndex points into, so a press after a change of tool never acts on a
    // record of the other list.
    enum class HoverList { None, Objects, Texts } HoverIn = HoverList::None;
    bool Panning = false;
    bool RulerMoving = false, RulerRotating = false, RulerAlongDrawing = false, RulerAcrossDrawing = false;
    bool ProtractorMoving = false, ProtractorRotating = false, ProtractorMarking = false;
    bool CompassMoving = false, SpanSetting = false, ArcDrawing = false, ArcTurnKnown = false;
    int32_t ArcClockwise = 0;

    int32_t AnchorX = 0, AnchorY = 0;
    int32_t CurveEndX = 0, CurveEndY = 0, CurveControl1X = 0, CurveControl1Y = 0;
    int32_t RulerPressX = 0, RulerPressY = 0;
    double RulerXAtPress = 0, RulerYAtPress = 0, RulerAngleAtPress = 0;
    double GuideFootX = 0, GuideFootY = 0; // global mm
    int32_t InstrumentPointerX = 0, InstrumentPointerY = 0;
    double ProtractorXAtPress = 0, ProtractorYAtPress = 0, ProtractorAngleAtPress = 0, MarkAngle = 0;
    int32_t CompassPressX = 0, CompassPressY = 0;
    double CompassXAtPress = 0, CompassYAtPress = 0;
    double ArcStartAngle = 0, ArcStartX = 0, ArcStartY = 0, ArcEndX = 0, ArcEndY = 0;
    // The line being drawn along or across the ruler, or as a degree mark (global mm).
    double PendingLineX1 = 0, PendingLineY1 = 0, PendingLineX2 = 0, PendingLineY2 = 0;
    double PendingLineMin = 0, PendingLineMax = 0;
};

} // namespace velmora
