#include "drawing_settings.h"

#include "document/units.h"

#include <algorithm>

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
