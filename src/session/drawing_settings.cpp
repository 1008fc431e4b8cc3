#include "drawing_settings.h"

#include "document/units.h"

#include <algorithm>
#include <cmath>

namespace velmora {

int LimitedZoom(double percent)
{
    return std::clamp(Round(percent), SettingLimits::ZoomMin, SettingLimits::ZoomMax);
}

double LimitedWidth(double mm)
{
    return std::clamp(mm, SettingLimits::WidthMin, SettingLimits::WidthMax);
}

int LimitedSheetCount(int count)
{
    return std::clamp(count, SettingLimits::SheetsMin, SettingLimits::SheetsMax);
}

int SheetsKeepingRecordsShown(const DrawingState &drawing, int count, double beforeMm, double afterMm)
{
    if (!(afterMm > 0) || !(afterMm < beforeMm))
        return count;
    const double shownBefore = count * beforeMm, shownAfter = count * afterMm;
    double needed = count;
    const auto keep = [&](double top) {
        if (top >= shownAfter && top < shownBefore) // NaN is neither
            needed = std::max(needed, std::floor(top / afterMm) + 1);
    };
    for (int i = 0; i < drawing.Objects.Count; ++i)
        keep(ObjectInkBox(drawing.Objects.At(i)).Top);
    for (int i = 0; i < drawing.Texts.Count; ++i)
        keep(drawing.Texts.At(i).Top);
    return int(std::min(needed, 1e6));
}

DrawingSettings SettingsFromFile(const DrawingFileSettings &file, const DrawingSettings &current)
{
    DrawingSettings s = current;
    s.Zoom = LimitedZoom(file.Zoom);
    s.PenWidth = LimitedWidth(file.PenWidth);
    s.PenColour = file.PenColour;
    s.EntryBarShown = file.EntryBarShown;
    s.RulerShown = file.RulerShown;
    s.ProtractorShown = file.ProtractorShown;
    s.CompassShown = file.CompassShown;
    if (file.HasTail) {
        s.EraserSize = LimitedWidth(file.EraserSize);
        s.Page = {file.PageWidthInch, file.PageHeightInch, file.Paper};
        s.SheetCount = SheetCountOf(file);
    }
    return s;
}

DrawingFileSettings FileSettingsOf(const DrawingSettings &settings, const InstrumentPlacement &placement)
{
    DrawingFileSettings file;
    file.Placement = placement;
    file.Zoom = settings.Zoom;
    file.PenWidth = settings.PenWidth;
    file.PenColour = settings.PenColour;
    file.EntryBarShown = settings.EntryBarShown;
    file.RulerShown = settings.RulerShown;
    file.ProtractorShown = settings.ProtractorShown;
    file.CompassShown = settings.CompassShown;
    file.HasTail = true;
    file.EraserSize = settings.EraserSize;
    file.PageWidthInch = settings.Page.WidthInch;
    file.PageHeightInch = settings.Page.HeightInch;
    file.PageCount = settings.SheetCount;
    file.Paper = settings.Page.Paper;
    return file;
}

} // namespace velmora
